#include "plot/PlotExport.h"

#include "plot/PlotRenderer.h"
#include "ui/WorkingFiles.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace plot {

namespace {

PlotView viewOf(const PlotPicture& picture)
{
    return {FrameFromClient(picture.size.width(), picture.size.height()), picture.axisMin,
            picture.axisMax};
}

// Both stages onto `painter`, every marker at once and no progress caption.
void drawPlot(QPainter& painter, const PlotPicture& picture)
{
    const PlotView view = viewOf(picture);
    const QSizeF size(picture.size);
    DrawResizeStage(painter, size, view, picture.font, picture.background);
    PlotStage stage(view, *picture.records, picture.range, picture.regions, picture.gridColour);
    stage.drawFixed(painter, size);
    stage.drawMarkers(painter, size, stage.markerCount());
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
