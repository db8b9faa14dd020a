#pragma once

#include "files/PlotDocument.h"
#include "plot/PlotRenderer.h"
#include "plot/RegionFile.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace plot {

enum class PictureFormat
{
    Png,
    Svg
};

// The file dialog's filter list for pictures.
QString PictureDialogFilter();

// SVG for a name ending in ".svg", PNG for one ending in ".png"; otherwise what the chosen
// filter (1-based, as the filter list counts) names, PNG for "All Files".
PictureFormat PictureFormatOf(const QString& path, int filterIndex);

inline constexpr QSize MinPictureSize{200, 150};
inline constexpr QSize MaxPictureSize{10000, 10000};

// The size typed as "<width> x <height>" in pixels ("1200 x 900"; "x", "X", "*" or "×" between,
// blanks anywhere). Nothing, with the reason for the user in `refusal`, for any other text and
// for sizes outside MinPictureSize ... MaxPictureSize.
std::optional<QSize> ParsePictureSize(const QString& text, QString& refusal);

// What the title band over an exported plot names.
struct PictureTitle
{
    QString fileName; // the data file's name, without its folder
    files::RecordRange range;
    std::size_t recordCount = 0;
    QDateTime made; // when the picture was made
};

// The two lines of the title band: the file's name, then "Records 1 to 250 of 250,
// 2026-12-07 14:03".
QString PictureHeading(const PictureTitle& title);
QString PictureSubheading(const PictureTitle& title);

// The plot drawn at another size for a file or a page: both stages with every marker of the
// range, under a title band, the frame laid out so that no label is cut.
struct PlotPicture
{
    QSize size;
    double axisMin = 0;
    double axisMax = 1;
    const files::RecordTable* records = nullptr;
    files::RecordRange range;
    const RegionRows* regions = nullptr; // null when the regions are off
    int gridColour = 7;
    QFont font;
    QColor background;
    PictureTitle title;
};

// Where an exported plot puts its parts in a picture of `size`, texts measured on `device` (the
// screen when null): the title band across the top with its two lines, the frame below it, and
// every axis label as the axes print them. Nothing printed leaves the picture.
struct PictureLayout
{
    QRectF band;
    PrintedText heading;
    PrintedText subheading;
    Frame frame;
    std::vector<PrintedText> labels;
};
PictureLayout LayOutPicture(const PlotPicture& picture, QSizeF size, const QPaintDevice* device);

// The picture onto `painter` over `size`, as the exports draw it.
void DrawPlotPicture(QPainter& painter, const PlotPicture& picture, QSizeF size);

// A null image when the memory for it cannot be had.
QImage RenderPlotImage(const PlotPicture& picture);

// Writes the picture as PNG (pixels) or SVG (lines, text and markers as vectors). The file is
// replaced only when the new one is complete; otherwise false, with the reason, and any earlier
// file stays.
bool WritePlotPicture(const PlotPicture& picture, PictureFormat format, const QString& path,
                      QString& reason);

// Writes the picture as a one-page PDF document, drawn over the whole printable area of an A4
// page, landscape when the picture is wider than high; its size only gives the aspect. The file
// is replaced only when the new one is complete; otherwise false, with the reason.
bool WritePlotPdf(const PlotPicture& picture, const QString& path, const QString& title,
                  QString& reason);

} // namespace plot
