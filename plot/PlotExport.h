#pragma once

#include "files/PlotDocument.h"
#include "plot/RegionFile.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

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

// The plot as the window draws it, at another size: both stages with every marker of the range.
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
};

// A null image when the memory for it cannot be had.
QImage RenderPlotImage(const PlotPicture& picture);

// Writes the picture as PNG (pixels) or SVG (lines, text and markers as vectors). The file is
// replaced only when the new one is complete; otherwise false, with the reason, and any earlier
// file stays.
bool WritePlotPicture(const PlotPicture& picture, PictureFormat format, const QString& path,
                      QString& reason);

} // namespace plot
