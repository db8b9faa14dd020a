#pragma once

#include "plot/PlotGeometry.h"
#include "plot/PlotRenderer.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

class QPaintDevice;
class QPainter;

namespace plot {

// The round steps 1, 2 and 5 x 10^n: the smallest that is not below `least`; 1 for a `least`
// that is not a positive finite number.
double RoundStepAtLeast(double least);
// The round step after `step` (0.02 gives 0.05, 0.05 gives 0.1).
double NextRoundStep(double step);

// The multiples of `step` from `min` to `max`, both ends included where a multiple falls on
// them; at most `limit` of them (none when the step is not positive).
std::vector<double> TickValues(double min, double max, double step, int limit = 1000);

// Axes at round steps along the frame's left and bottom edges: the step (the same on both axes,
// so that labels are of one precision and the grid is square), the ticks, the labels with the
// decimals the step needs, and the axis titles ("x" at the right end of the bottom axis, "y"
// at the top of the left one). Labels that would cross a title or leave the picture are left
// out; those drawn never overlap.
struct TickedAxes
{
    double step = 0.1;
    double minorStep = 0.02;
    std::vector<double> xMajor; // pixel x of each major tick along the bottom edge
    std::vector<double> yMajor; // pixel y of each major tick along the left edge
    std::vector<double> xMinor;
    std::vector<double> yMinor;
    std::vector<PrintedText> labels;
    PrintedText xTitle;
    PrintedText yTitle;
};

// Lays out axes over `frame` showing `ranges` in a picture of `picture` pixels, labels measured
// in `font` on `device` (the screen when null), major ticks at least `spacing` pixels apart and
// wide enough for their labels.
TickedAxes LayOutTickedAxes(const Frame& frame, const AxisRanges& ranges, QSizeF picture,
                            const QFont& font, const QString& xTitle, const QString& yTitle,
                            const QPaintDevice* device = nullptr, double spacing = 50);

// Draws the axis lines, the ticks, the labels and the titles in black.
void DrawTickedAxes(QPainter& painter, const Frame& frame, const TickedAxes& axes,
                    const QFont& font);
// The grid over the frame at the major ticks; the vertical lines stand 10 pixels above its top,
// as on the plot.
void DrawTickedGrid(QPainter& painter, const Frame& frame, const TickedAxes& axes,
                    const QColor& colour);

} // namespace plot
