#include "plot/PlotRenderer.h"

#include "colorimetry/LocusTables.h"
#include "ui/TextValue.h"
#include "ui/WorkingFiles.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plot {

QColor PaletteColour(int index)
{
    static const QRgb palette[16] = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return QColor(palette[index & 15]);
}

namespace {

QPen blackPen(double width)
{
    QPen pen(Qt::black);
    pen.setWidthF(width);
    return pen;
}

// Lines beyond this margin around the picture are cut before they reach the painter.
constexpr double DrawMargin = 64;

QRectF drawBox(QSizeF size)
{
    return QRectF(-DrawMargin, -DrawMargin, size.width() + 2 * DrawMargin,
                  size.height() + 2 * DrawMargin);
}

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

void drawClipped(QPainter& painter, QPointF a, QPointF b, const QRectF& box)
{
    if (!finite(a) || !finite(b))
        return;
    if (box.contains(a) && box.contains(b)) {
        painter.drawLine(a, b);
        return;
    }
    if (const auto part = ClipSegment(a, b, box))
        painter.drawLine((*part)[0], (*part)[1]);
}

void drawLocus(QPainter& painter, const colorimetry::LocusRow* rows, int count,
               const LocusPlace& place, const QRectF& box)
{
    QPointF previous;
    for (int k = 0; k < count; ++k) {
        const QPointF point = place(rows[k].x, rows[k].y);
        if (k > 0)
            drawClipped(painter, point, previous, box);
        previous = point;
    }
}

} // namespace

void DrawAxes(QPainter& painter, const Frame& f, const AxisRanges& ranges, const QFont& font,
              const LabelText& label)
{
    painter.setPen(blackPen(2));
    painter.drawLine(QPointF(f.left - 2, f.bottom + 5), QPointF(f.left - 2, f.top() - 5));
    painter.drawLine(QPointF(f.left - 2, f.bottom + 6), QPointF(f.right() + 2, f.bottom + 6));

    painter.setPen(blackPen(1));
    for (int i = 0; i <= 20; ++i) {
        const double yi = f.bottom - i * f.height / 20;
        const double xi = f.left + i * f.width / 20;
        painter.drawLine(QPointF(f.left - 2, yi), QPointF(f.left - 7, yi));
        painter.drawLine(QPointF(xi, f.bottom + 5), QPointF(xi, f.bottom + 10));
        if (i % 2 == 0) {
            painter.drawLine(QPointF(f.left - 2, yi), QPointF(f.left - 10, yi));
            painter.drawLine(QPointF(xi, f.bottom + 5), QPointF(xi, f.bottom + 13));
        }
    }

    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    for (const PrintedText& text : AxisLabelPlaces(f, ranges, font, painter.device(), label))
        painter.drawText(text.box.topLeft() + QPointF(0, metrics.ascent()), text.text);
}

void DrawPrintedText(QPainter& painter, const PrintedText& text)
{
    painter.drawText(text.box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text.text);
}

std::vector<PrintedText> AxisLabelPlaces(const Frame& f, const AxisRanges& ranges,
                                         const QFont& font, const QPaintDevice* device,
                                         const LabelText& label)
{
    const QFontMetricsF metrics =
        device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double height = metrics.height();
    std::vector<PrintedText> places;
    for (int j = 0; j <= 10; ++j) {
        const QString sy = label(ranges.yMin + j * (ranges.yMax - ranges.yMin) / 10);
        const QString sx = label(ranges.xMin + j * (ranges.xMax - ranges.xMin) / 10);
        const double wy = metrics.horizontalAdvance(sy);
        const double wx = metrics.horizontalAdvance(sx);
        // Text positions are the top-left corners of the printed texts.
        places.push_back({sy, QRectF(f.left - 40 - wy / 4,
                                     f.bottom - height / 2 - j * f.height / 10, wy, height)});
        places.push_back({sx, QRectF(f.left + j * f.width / 10 - 5, f.bottom + 15, wx, height)});
    }
    return places;
}

void DrawGrid(QPainter& painter, const Frame& f, const QColor& colour)
{
    QPen grid(colour);
    grid.setWidthF(1);
    painter.setPen(grid);
    for (int k = 10; k >= 0; --k) {
        const double y = f.bottom - k * f.height / 10;
        painter.drawLine(QPointF(f.left, y), QPointF(f.right(), y));
    }
    for (int k = 10; k >= 0; --k) {
        const double x = f.left + k * f.width / 10;
        painter.drawLine(QPointF(x, f.bottom), QPointF(x, f.top() - 10));
    }
}

void DrawLoci(QPainter& painter, const LocusPlace& place, const QRectF& box)
{
    drawLocus(painter, colorimetry::PlanckianLocusTable.data(), 411, place, box);
    drawLocus(painter, colorimetry::SpectralLocusTable.data(), 402, place, box);
}

void DrawOutline(QPainter& painter, const std::array<QPointF, 4>& outline, const QRectF& box)
{
    for (std::size_t j = 0; j < 4; ++j)
        drawClipped(painter, outline[j], outline[(j + 1) % 4], box);
}

void DrawResizeStage(QImage& picture, const PlotView& view, const QFont& font,
                     const QColor& background)
{
    QPainter painter(&picture);
    DrawResizeStage(painter, picture.size(), view, font, background);
}

void DrawResizeStage(QPainter& painter, QSizeF size, const PlotView& view, const QFont& font,
                     const QColor& background)
{
    painter.fillRect(QRectF(QPointF(0, 0), size), background);
    const Frame& f = view.frame;
    const int decimals = AxisLabelDecimals(view.axisMin, view.axisMax);
    DrawAxes(painter, f, {view.axisMin, view.axisMax, view.axisMin, view.axisMax}, font,
             [decimals](double value) { return AxisLabel(value, decimals); });
    painter.fillRect(QRectF(QPointF(f.left, f.top()), QPointF(f.right(), f.bottom)), Qt::white);
}

PlotStage::PlotStage(const PlotView& view, const files::RecordTable& records,
                     files::RecordRange range, const RegionRows* regions, int gridColour)
    : m_view(view), m_mapping(view.frame, view.axisMin, view.axisMax), m_records(records),
      m_regions(regions), m_gridColour(gridColour), m_from(range.from), m_count(range.count())
{
    // k runs from the range's first to its last record in steps of 1; no record lies beyond the
    // stored ones, so a range reaching further would only draw nothing for longer.
    if (std::isfinite(range.from) && std::isfinite(range.to) && range.to >= range.from) {
        const double steps = std::floor(range.to - range.from) + 1;
        const double limit = static_cast<double>(records.count()) + 2;
        m_total = static_cast<std::int64_t>(std::min(steps, limit));
        if (range.from == std::floor(range.from) && std::abs(range.from) < 1e15)
            m_wholeFrom = static_cast<std::int64_t>(range.from);
    }
}

void PlotStage::drawFixed(QPainter& painter, QSizeF pictureSize)
{
    const QRectF box = drawBox(pictureSize);
    DrawGrid(painter, m_view.frame, PaletteColour(m_gridColour));

    if (m_regions != nullptr) {
        painter.setPen(blackPen(2));
        for (const RegionRow& row : *m_regions) {
            const auto values = row.checked ? RegionCorners(row) : std::nullopt;
            if (!values)
                continue;
            std::array<QPointF, 4> corners;
            for (std::size_t j = 0; j < 4; ++j)
                corners[j] = m_mapping.map((*values)[j].x(), (*values)[j].y());
            DrawOutline(painter, OutlineOrder(corners), box);
        }
    }

    painter.setPen(blackPen(1));
    // Each locus point is held inside the frame.
    DrawLoci(
        painter,
        [this](double x, double y) { return ClampLocus(m_mapping.map(x, y), m_view.frame); }, box);
}

namespace {

// The picture a painter paints into when a marker's pixels can be written there straight: a
// picture of 32-bit pixels, painted without transformation, clipping, antialiasing or
// translucency, in which an opaque fill covers exactly the pixels from the rounded left and top
// corner up to the rounded right and bottom one. Null when the painter must fill them itself
// (an SVG document, a scaled or clipped painter).
QImage* straightTarget(QPainter& painter, const QBrush& brush, QSizeF pictureSize)
{
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image ||
        painter.paintEngine() == nullptr || painter.paintEngine()->type() != QPaintEngine::Raster)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    const bool opaqueFill = brush.style() == Qt::SolidPattern && brush.color().alpha() == 255 &&
                            painter.opacity() == 1.0 &&
                            painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied) ||
        image->devicePixelRatio() != 1.0 || pictureSize.width() > image->width() ||
        pictureSize.height() > image->height() || !opaqueFill || painter.hasClipping() ||
        painter.testRenderHint(QPainter::Antialiasing) ||
        painter.deviceTransform().type() != QTransform::TxNone)
        return nullptr;
    return image;
}

// `count` pixels from `pixel` on in `colour`; a marker's row is a few pixels to a few dozen.
void fillPixels(QRgb* pixel, int count, QRgb colour)
{
#if defined(__SSE2__)
    if (count >= 4) {
        const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
        for (int i = 0; i + 4 < count; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel + i), four);
        // The last four, over what the loop has filled already.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel + count - 4), four);
        return;
    }
#endif
    std::fill(pixel, pixel + std::max(count, 0), colour);
}

} // namespace

void PlotStage::drawMarker(QPainter& painter, const Pixels& pixels, double x, double y) const
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    // The marker's rectangle, (x - x/100, y + y/100) to (x + x/100, y - y/100), where it
    // covers the picture; none when it has no width or height.
    const double width = pixels.size.width();
    const double height = pixels.size.height();
    const double left = std::min(x - x / 100, x + x / 100);
    const double right = std::max(x - x / 100, x + x / 100);
    const double top = std::min(y + y / 100, y - y / 100);
    const double bottom = std::max(y + y / 100, y - y / 100);
    if (left == right || top == bottom || left >= width || right <= 0 || top >= height ||
        bottom <= 0)
        return;
    const QPointF topLeft(std::max(left, 0.0), std::max(top, 0.0));
    const QPointF bottomRight(std::min(right, width), std::min(bottom, height));
    if (pixels.bits == nullptr) {
        painter.fillRect(QRectF(topLeft, bottomRight), m_markerBrush);
        return;
    }
    // The pixels an opaque fill of that rectangle covers.
    const int first = qRound(topLeft.x());
    const int count = qRound(bottomRight.x()) - first;
    for (int row = qRound(topLeft.y()); row < qRound(bottomRight.y()); ++row)
        fillPixels(reinterpret_cast<QRgb*>(pixels.bits + row * pixels.stride) + first, count,
                   pixels.colour);
}

void PlotStage::tellProgress()
{
    const std::int64_t permille = ProgressPermille(m_done + 1, m_count);
    if (permille != m_permille) {
        m_permille = permille;
        if (m_captionSink)
            m_captionSink(ProgressCaption(permille));
    }
    // The figure changes once (permille + 1) / 1000 of the count is drawn: it is asked again a
    // little before, which a rounding cannot take past.
    m_nextCaption = m_count > 0
                        ? std::max<std::int64_t>(
                              m_done + 2, static_cast<std::int64_t>(std::floor(
                                              static_cast<double>(permille + 1) * m_count / 1000)) -
                                              2)
                        : INT64_MAX;
}

bool PlotStage::drawMarkers(QPainter& painter, QSizeF pictureSize, std::int64_t budget)
{
    Pixels pixels{pictureSize};
    if (QImage* image = straightTarget(painter, m_markerBrush, pictureSize)) {
        // The painter's pixels: those it holds while it paints.
        pixels.bits = image->bits();
        pixels.stride = image->bytesPerLine();
        pixels.colour = m_markerBrush.color().rgba();
    }
    const auto stored = static_cast<std::int64_t>(m_records.count());
    const std::int64_t end = std::min(m_total, m_done + std::max<std::int64_t>(budget, 0));
    for (; m_done < end; ++m_done) {
        // A whole first record needs no rounding, which would cost a call per record.
        const std::int64_t n = m_wholeFrom
                                   ? *m_wholeFrom + m_done
                                   : ui::RoundHalfEven(m_from + static_cast<double>(m_done));
        if (n >= 1 && n <= stored) {
            const files::RecordTable::Fields fields = m_records.fields(static_cast<std::size_t>(n));
            const std::optional<double> u = RecordValue(fields.x);
            const std::optional<double> v = u ? RecordValue(fields.y) : std::nullopt;
            // A field without a number is not drawn: a marker at 0,0 would claim a reading.
            if (v)
                drawMarker(painter, pixels, m_mapping.X(*u), m_mapping.Y(*v));
        }
        if (m_done + 1 >= m_nextCaption)
            tellProgress();
    }
    return finished();
}

bool WritePicturePdf(const QImage& picture, const QString& path, const QString& title,
                     QString& reason)
{
    if (picture.isNull()) {
        reason = QStringLiteral("there is no picture");
        return false;
    }
    // Made in memory first: the writer does not look at what its writes return.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&document);
        writer.setTitle(title);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
        writer.setResolution(150);
        QPainter painter;
        if (!painter.begin(&writer)) {
            reason = QStringLiteral("the PDF writer could not start");
            return false;
        }
        const QRect page = painter.viewport();
        const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(page.topLeft(), size), picture);
        painter.end();
    }
    // Written aside and renamed once complete, so that a failure leaves any earlier file whole.
    return ui::SaveWhole(path, document.data(), std::nullopt, reason) == ui::SaveOutcome::Saved;
}

} // namespace plot
