#include "plot/GraphRenderer.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plot {

namespace {

constexpr double MarkerRadius = 6;
constexpr double TrailHalf = 2;
constexpr int Side = 4; // of a trail dot, in pixels
constexpr double ReferenceHalf = 7;

const QColor LiveColour(220, 30, 30);
const QColor LostColour(150, 150, 150);
const QColor ReferenceColour(0, 128, 0);
const QColor TrailColour(0, 90, 200);
const QColor AnsiColour(128, 128, 128);
const QColor UserColour(0, 0, 160);

QRectF frameRect(const Frame& f)
{
    return QRectF(QPointF(f.left, f.top()), QPointF(f.right(), f.bottom));
}

QPen pen(const QColor& colour, double width)
{
    QPen p(colour);
    p.setWidthF(width);
    return p;
}

// The pixel at `x`, `y` of a picture of 32-bit pixels whose lines are `stride` bytes apart.
template <typename Bits> auto* pixelAt(Bits* bits, qsizetype stride, int x, int y)
{
    using Pixel = std::conditional_t<std::is_const_v<Bits>, const QRgb, QRgb>;
    return reinterpret_cast<Pixel*>(bits + y * stride) + x;
}

// Each of the 8-bit channels of `pixel` times `factor` / 255, rounded as the painter's own
// blending rounds.
QRgb scaled(QRgb pixel, std::uint32_t factor)
{
    std::uint64_t t =
        ((std::uint64_t(pixel) | (std::uint64_t(pixel) << 24)) & 0x00ff00ff00ff00ffULL) * factor;
    t = ((t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8) &
        0x00ff00ff00ff00ffULL;
    return static_cast<QRgb>(t | (t >> 24));
}

// Blends the premultiplied `colour` over `pixels` of a picture as the painter blends a
// translucent fill. The trail's dots are many and small: the painter would spend more on
// setting up each fill than on filling it.
void blend(uchar* bits, qsizetype stride, const QRect& pixels, QRgb colour)
{
    const std::uint32_t keep = 255 - qAlpha(colour);
#if defined(__SSE2__)
    const __m128i factor = _mm_set1_epi16(static_cast<short>(keep));
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i zero = _mm_setzero_si128();
    const __m128i add = _mm_set1_epi32(static_cast<int>(colour));
    const auto times = [&](__m128i t) {
        t = _mm_mullo_epi16(t, factor);
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
    };
#endif
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        QRgb* pixel = pixelAt(bits, stride, pixels.left(), y);
#if defined(__SSE2__)
        if (pixels.width() == Side) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
            const __m128i low = times(_mm_unpacklo_epi8(p, zero));
            const __m128i high = times(_mm_unpackhi_epi8(p, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel),
                             _mm_add_epi8(_mm_packus_epi16(low, high), add));
            continue;
        }
#endif
        for (int x = 0; x < pixels.width(); ++x)
            pixel[x] = colour + scaled(pixel[x], keep);
    }
}

} // namespace

TickedAxes DrawGraphBackground(QImage& picture, const GraphViewport& viewport,
                               const std::vector<GraphRegion>& regions, int chosen,
                               const QFont& font, const QColor& background)
{
    picture.fill(background);
    QPainter painter(&picture);
    return DrawGraphDiagram(painter, picture.size(), viewport, regions, chosen, font);
}

TickedAxes DrawGraphDiagram(QPainter& painter, QSizeF picture, const GraphViewport& viewport,
                            const std::vector<GraphRegion>& regions, int chosen, const QFont& font)
{
    const Frame& f = viewport.frame();
    const TickedAxes axes = LayOutTickedAxes(
        f, viewport.ranges(), picture, font, HorizontalAxisTitle(viewport.diagram()),
        VerticalAxisTitle(viewport.diagram()), painter.device());
    DrawTickedAxes(painter, f, axes, font);
    const QRectF frame = frameRect(f);
    painter.fillRect(frame, Qt::white);
    DrawTickedGrid(painter, f, axes, PaletteColour(DefaultGridColour));

    painter.setClipRect(frame);
    const QRectF box = frame.adjusted(-64, -64, 64, 64);
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const bool isChosen = static_cast<int>(i) == chosen;
        // The chosen region last, over the others it shares sides with.
        if (isChosen)
            continue;
        painter.setPen(pen(regions[i].user ? UserColour : AnsiColour, 1));
        std::array<QPointF, 4> outline;
        for (std::size_t j = 0; j < 4; ++j)
            outline[j] = viewport.toPixel(regions[i].outline[j]);
        DrawOutline(painter, outline, box);
    }
    if (chosen >= 0 && chosen < static_cast<int>(regions.size())) {
        painter.setPen(pen(Qt::black, 2));
        std::array<QPointF, 4> outline;
        for (std::size_t j = 0; j < 4; ++j)
            outline[j] = viewport.toPixel(regions[static_cast<std::size_t>(chosen)].outline[j]);
        DrawOutline(painter, outline, box);
    }

    painter.setPen(pen(Qt::black, 1));
    DrawLoci(
        painter,
        [&viewport](double x, double y) {
            return viewport.toPixel({x, y});
        },
        box);
    return axes;
}

void DrawLiveMarker(QPainter& painter, QPointF pixel, bool current)
{
    static const QPen outline = pen(Qt::black, 1);
    static const QBrush live(LiveColour);
    static const QBrush lost(LostColour);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(outline);
    painter.setBrush(current ? live : lost);
    painter.drawEllipse(pixel, MarkerRadius, MarkerRadius);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void GraphPicture::drawBackground(QSize size, const GraphViewport& viewport,
                                  const GraphModel& model, const QFont& font, const QColor& colour)
{
    // Opaque pixels, so that showing them is a plain copy.
    m_background = QImage(size, QImage::Format_RGB32);
    m_axes =
        DrawGraphBackground(m_background, viewport, model.regions(), model.chosen(), font, colour);
    m_composed = m_background.copy();
    m_dots = 0;
    m_frame = frameRect(viewport.frame()).toAlignedRect();
    placeLive(viewport, model, false);
}

QRect GraphPicture::liveChanged(const GraphViewport& viewport, const GraphModel& model)
{
    const QRect before = m_liveBounds;
    // A current reading has joined the trail: its newest but one is the reading placed last,
    // and it has grown by one or dropped its oldest.
    const Trail& trail = model.trail();
    const int count = trail.size();
    const bool joined =
        model.current() && m_liveReading && count >= 2 &&
        trail.at(count - 2).x == m_liveReading->x && trail.at(count - 2).y == m_liveReading->y &&
        (count == m_trailCount + 1 || (count == Trail::Length && m_trailCount == Trail::Length));
    placeLive(viewport, model, joined);
    return before.united(m_liveBounds);
}

std::optional<QRect> GraphPicture::dotAt(QPointF p) const
{
    // Far outside (or not finite): no pixel of the frame.
    if (!(p.x() > m_frame.left() - Side && p.x() < m_frame.right() + Side &&
          p.y() > m_frame.top() - Side && p.y() < m_frame.bottom() + Side))
        return std::nullopt;
    const int x = qRound(p.x() - TrailHalf);
    const int y = qRound(p.y() - TrailHalf);
    const QRect pixels = QRect(x, y, Side, Side) & m_frame;
    return pixels.isEmpty() ? std::nullopt : std::optional(pixels);
}

void GraphPicture::placeLive(const GraphViewport& viewport, const GraphModel& model, bool joined)
{
    // Only the pixels of the old trail's dots differ from the background.
    const qsizetype stride = m_composed.bytesPerLine();
    uchar* composed = m_composed.bits();
    const uchar* background = m_background.constBits();
    for (int i = 0; i < m_dots; ++i) {
        const QRect& pixels = m_trail[static_cast<std::size_t>(i)].pixels;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            const QRgb* from = pixelAt(background, stride, pixels.left(), y);
            QRgb* to = pixelAt(composed, stride, pixels.left(), y);
            if (pixels.width() == Side)
                std::memcpy(to, from, Side * sizeof(QRgb));
            else
                std::copy(from, from + pixels.width(), to);
        }
    }

    // The newest reading is the live marker itself; the trail fades from there. When a reading
    // joins, the older dots stay where they are, one age older, and the live marker until now
    // becomes the newest dot: only the new reading is placed in the view.
    const Trail& trail = model.trail();
    const int count = trail.size();
    if (joined) {
        const bool dropsOldest = count == m_trailCount;
        int kept = 0;
        for (int i = 0; i < m_dots; ++i) {
            Dot dot = m_trail[static_cast<std::size_t>(i)];
            dot.age -= dropsOldest ? 1 : 0;
            if (dot.age >= 0)
                m_trail[static_cast<std::size_t>(kept++)] = dot;
        }
        m_dots = kept;
        if (const std::optional<QRect> pixels = m_live ? dotAt(*m_live) : std::nullopt)
            m_trail[static_cast<std::size_t>(m_dots++)] = {*pixels, count - 2};
    } else {
        m_dots = 0;
        for (int age = 0; age + 1 < count; ++age)
            if (const std::optional<QRect> pixels = dotAt(viewport.toPixel(trail.at(age))))
                m_trail[static_cast<std::size_t>(m_dots++)] = {*pixels, age};
    }
    m_trailCount = count;

    QRect trailBounds;
    for (int i = 0; i < m_dots; ++i) {
        const Dot& dot = m_trail[static_cast<std::size_t>(i)];
        const QRgb colour =
            qPremultiply(qRgba(TrailColour.red(), TrailColour.green(), TrailColour.blue(),
                               30 + 190 * (dot.age + 1) / count));
        blend(composed, stride, dot.pixels, colour);
        trailBounds |= dot.pixels;
    }

    m_reference.reset();
    m_live.reset();
    m_liveReading.reset();
    m_liveBounds = QRect();
    const std::optional<GraphReading>& last = model.last();
    if (!last)
        return;
    m_liveReading = last->live;
    // A marker far outside the frame shows nothing there, and its pixels might not fit an int.
    const auto around = [this](QPointF p, double half) -> std::optional<QRect> {
        if (!(p.x() > m_frame.left() - half && p.x() < m_frame.right() + half &&
              p.y() > m_frame.top() - half && p.y() < m_frame.bottom() + half))
            return std::nullopt;
        return QRectF(p.x() - half, p.y() - half, 2 * half, 2 * half).toAlignedRect();
    };
    QRect markers;
    const QPointF reference = viewport.toPixel(last->reference);
    const std::optional<QRect> cross = around(reference, ReferenceHalf + 2);
    if (last->hasReference() && cross) {
        m_reference = reference;
        markers |= *cross;
        if (m_cross.isNull() || m_crossAt != reference)
            drawCross(reference);
    }
    const QPointF live = viewport.toPixel(last->live);
    if (const std::optional<QRect> marker = around(live, MarkerRadius + 2)) {
        m_live = live;
        markers |= *marker;
    }
    m_current = model.current();
    // The markers need the frame's clip only where they reach beyond it.
    m_markersInside = m_frame.contains(markers);
    m_liveBounds = (trailBounds | markers) & m_frame.adjusted(-1, -1, 1, 1);
}

void GraphPicture::drawCross(QPointF at)
{
    const auto reach = static_cast<int>(ReferenceHalf) + 2;
    m_crossCorner = QPoint(qFloor(at.x()) - reach, qFloor(at.y()) - reach);
    m_cross = QImage(QSize(2 * reach + 1, 2 * reach + 1), QImage::Format_ARGB32_Premultiplied);
    m_cross.fill(Qt::transparent);
    QPainter painter(&m_cross);
    // Moved by whole pixels, so that the cross covers the pixels it covers in the view.
    painter.translate(-m_crossCorner);
    painter.setPen(pen(ReferenceColour, 2));
    const QLineF lines[] = {{at.x() - ReferenceHalf, at.y(), at.x() + ReferenceHalf, at.y()},
                            {at.x(), at.y() - ReferenceHalf, at.x(), at.y() + ReferenceHalf}};
    painter.drawLines(lines, 2);
    m_crossAt = at;
}

void GraphPicture::paint(QPainter& painter, const QRect& exposed)
{
    const QRect area = exposed & m_background.rect();
    if (area.isEmpty())
        return;
    painter.drawImage(area, m_composed, area);
    if (!m_reference && !m_live)
        return;

    if (!m_markersInside) {
        painter.save();
        painter.setClipRect(m_frame, Qt::IntersectClip);
    }
    if (m_reference)
        painter.drawImage(m_crossCorner, m_cross);
    if (m_live)
        DrawLiveMarker(painter, *m_live, m_current);
    if (!m_markersInside)
        painter.restore();
}

} // namespace plot
