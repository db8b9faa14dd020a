#include "plot/PlotExport.h"

#include "plot/PlotRenderer.h"
#include "ui/WorkingFiles.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <algorithm>

namespace plot {

namespace {

// The labels of both axes as the resize stage prints them.
std::vector<PrintedText> labelsOver(const Frame& frame, const PlotPicture& picture,
                                    const QPaintDevice* device)
{
    const int decimals = AxisLabelDecimals(picture.axisMin, picture.axisMax);
    return AxisLabelPlaces(
        frame, {picture.axisMin, picture.axisMax, picture.axisMin, picture.axisMax}, picture.font,
        device, [decimals](double value) { return AxisLabel(value, decimals); });
}

QFont headingFont(const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

// The number as the range dialog shows it: 1, 250, 2.5.
QString shortest(double value)
{
    return QString::number(value, 'g', 15);
}

void drawPlot(QPainter& painter, const PlotPicture& picture)
{
    DrawPlotPicture(painter, picture, QSizeF(picture.size));
}

QByteArray svgDocument(const PlotPicture& picture)
{
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&document);
    generator.setSize(picture.size);
    generator.setViewBox(QRect(QPoint(0, 0), picture.size));
    // The picture's resolution, so that the labels measure as they do in the window.
    generator.setResolution(QImage(1, 1, QImage::Format_RGB32).logicalDpiX());
    generator.setTitle(QStringLiteral("Chromaticity plot"));
    QPainter painter(&generator);
    drawPlot(painter, picture);
    painter.end();
    return document.data();
}

QByteArray pngDocument(const QImage& image)
{
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    image.save(&document, "PNG");
    return document.data();
}

} // namespace

QString PictureHeading(const PictureTitle& title)
{
    return title.fileName;
}

QString PictureSubheading(const PictureTitle& title)
{
    return QStringLiteral("Records %1 to %2 of %3, %4")
        .arg(shortest(title.range.from), shortest(title.range.to))
        .arg(title.recordCount)
        .arg(title.made.toString(u"yyyy-MM-dd HH:mm"));
}

PictureLayout LayOutPicture(const PlotPicture& picture, QSizeF size, const QPaintDevice* device)
{
    const auto metricsOf = [device](const QFont& font) {
        return device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
    };
    const QFontMetricsF metrics = metricsOf(picture.font);
    const QFontMetricsF headingMetrics = metricsOf(headingFont(picture.font));
    const double line = metrics.height();
    const double pad = std::max(4.0, line / 2);
    PictureLayout layout;

    // The title band: both lines cut short with an ellipsis where the picture is too narrow.
    const double textWidth = std::max(1.0, size.width() - 2 * pad);
    const QString heading =
        headingMetrics.elidedText(PictureHeading(picture.title), Qt::ElideMiddle, textWidth);
    const QString subheading =
        metrics.elidedText(PictureSubheading(picture.title), Qt::ElideRight, textWidth);
    layout.heading = {heading, QRectF(pad, pad, headingMetrics.horizontalAdvance(heading),
                                      headingMetrics.height())};
    layout.subheading = {subheading, QRectF(pad, layout.heading.box.bottom(),
                                            metrics.horizontalAdvance(subheading), line)};
    layout.band = QRectF(0, 0, size.width(), layout.subheading.box.bottom() + pad);

    // The frame as large as the labels around it allow. The axes print the labels at fixed
    // distances from the frame: a vertical label 40 pixels and a quarter of its width left of
    // it, the horizontal ones 15 below it, the last one starting 5 left of its right edge.
    const Frame first = FrameFromClient(size.width(), size.height());
    double widestVertical = 0;
    double lastHorizontal = 0;
    for (const PrintedText& text : labelsOver(first, picture, device)) {
        if (text.box.top() > first.bottom)
            lastHorizontal = text.box.width();
        else
            widestVertical = std::max(widestVertical, text.box.width());
    }
    Frame& f = layout.frame;
    f.left = std::max(60.0, 40 + widestVertical / 4 + pad);
    f.bottom = size.height() - pad - line - 15;
    // The grid's vertical lines and the loci reach 10 pixels above the frame.
    const double top = layout.band.bottom() + pad + std::max(10.0, line / 2);
    f.width = std::max(1.0, size.width() - pad - lastHorizontal + 5 - f.left);
    f.height = std::max(1.0, f.bottom - top);
    layout.labels = labelsOver(f, picture, device);
    return layout;
}

void DrawPlotPicture(QPainter& painter, const PlotPicture& picture, QSizeF size)
{
    const PictureLayout layout = LayOutPicture(picture, size, painter.device());
    const PlotView view{layout.frame, picture.axisMin, picture.axisMax};
    DrawResizeStage(painter, size, view, picture.font, picture.background);

    painter.setPen(Qt::black);
    painter.setFont(headingFont(picture.font));
    DrawPrintedText(painter, layout.heading);
    painter.setFont(picture.font);
    DrawPrintedText(painter, layout.subheading);
    painter.drawLine(QPointF(0, layout.band.bottom()), QPointF(size.width(), layout.band.bottom()));

    // Every marker at once, and no progress caption.
    PlotStage stage(view, *picture.records, picture.range, picture.regions, picture.gridColour);
    stage.drawFixed(painter, size);
    stage.drawMarkers(painter, size, stage.markerCount());
}

bool WritePlotPdf(const PlotPicture& picture, const QString& path, const QString& title,
                  QString& reason)
{
    // Made in memory first: the writer does not look at what its writes return.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&document);
        writer.setTitle(title);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(picture.size.width() > picture.size.height()
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        writer.setResolution(150);
        QPainter painter;
        if (!painter.begin(&writer)) {
            reason = QStringLiteral("the PDF writer could not start");
            return false;
        }
        // The painter's window is the printable area, in the writer's pixels.
        DrawPlotPicture(painter, picture, QSizeF(painter.viewport().size()));
        painter.end();
    }
    return ui::SaveWhole(path, document.data(), std::nullopt, reason) == ui::SaveOutcome::Saved;
}

QString PictureDialogFilter()
{
    return QStringLiteral("PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg|All Files (*.*)|*.*|");
}

PictureFormat PictureFormatOf(const QString& path, int filterIndex)
{
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return PictureFormat::Svg;
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return PictureFormat::Png;
    return filterIndex == 2 ? PictureFormat::Svg : PictureFormat::Png;
}

std::optional<QSize> ParsePictureSize(const QString& text, QString& refusal)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d+)\\s*[xX*\\x{00D7}]\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        refusal = QStringLiteral("Type the size in pixels as width x height, for example "
                                 "1200 x 900.");
        return std::nullopt;
    }
    // Digits too many to convert are too large as well.
    bool wideOk = false;
    bool highOk = false;
    const qlonglong width = match.captured(1).toLongLong(&wideOk);
    const qlonglong height = match.captured(2).toLongLong(&highOk);
    if (!wideOk || !highOk || width > MaxPictureSize.width() || height > MaxPictureSize.height()) {
        refusal = QStringLiteral("The picture can be at most %1 x %2 pixels.")
                      .arg(MaxPictureSize.width())
                      .arg(MaxPictureSize.height());
        return std::nullopt;
    }
    if (width < MinPictureSize.width() || height < MinPictureSize.height()) {
        refusal = QStringLiteral("The picture must be at least %1 x %2 pixels.")
                      .arg(MinPictureSize.width())
                      .arg(MinPictureSize.height());
        return std::nullopt;
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

QImage RenderPlotImage(const PlotPicture& picture)
{
    QImage image(picture.size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    drawPlot(painter, picture);
    return image;
}

bool WritePlotPicture(const PlotPicture& picture, PictureFormat format, const QString& path,
                      QString& reason)
{
    QByteArray bytes;
    if (format == PictureFormat::Svg) {
        bytes = svgDocument(picture);
    } else {
        const QImage image = RenderPlotImage(picture);
        if (image.isNull()) {
            reason = QStringLiteral("there is not enough memory for a picture of that size");
            return false;
        }
        bytes = pngDocument(image);
    }
    if (bytes.isEmpty()) {
        reason = QStringLiteral("the picture could not be encoded");
        return false;
    }
    // Written aside and renamed once complete: a failure leaves any earlier file whole.
    return ui::SaveWhole(path, bytes, std::nullopt, reason) == ui::SaveOutcome::Saved;
}

} // namespace plot
