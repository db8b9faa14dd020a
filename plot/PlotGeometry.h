#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace plot {

// The plot frame in window pixels: its bottom-left corner and its size.
struct Frame
{
    double left = 0;
    double bottom = 0;
    double width = 0;
    double height = 0;

    double top() const { return bottom - height; }
    double right() const { return left + width; }
};

// The frame for a client area of sw x sh pixels: 60 pixels left for the vertical axis labels,
// 27 below for the horizontal ones, the width cut down to a multiple of 30 less 10.
Frame FrameFromClient(double sw, double sh);

// Maps chromaticity values to window pixels over one value range for both axes. A range of no
// width (or one too wide to hold in a double) is drawn as 0 to 1 instead of dividing by zero.
class Mapping
{
public:
    Mapping(const Frame& frame, double axisMin, double axisMax);

    double X(double u) const { return m_frame.left + m_scaleX * (u - m_axisMin); }
    double Y(double v) const { return m_frame.bottom - m_scaleY * (v - m_axisMin); }
    QPointF map(double u, double v) const { return {X(u), Y(v)}; }
    const Frame& frame() const { return m_frame; }

private:
    Frame m_frame;
    double m_axisMin;
    double m_scaleX;
    double m_scaleY;
};

// The axis label of a value: its default text (15 significant digits) cut, not rounded, to
// `decimals` places and padded with zeros: with one decimal 0 gives "0.0", 0.25 gives "0.2" and
// -0.15 gives "-0.1"; with three 0.3 gives "0.300".
QString AxisLabel(double value, int decimals);

// The fewest decimals (at least one) with which the eleven labels of an axis from axisMin to
// axisMax differ from their neighbours: 1 for 0 to 1, 3 for 0.30 to 0.36. One when no count up
// to 15 tells them apart (an axis of no width).
int AxisLabelDecimals(double axisMin, double axisMax);

// A locus point held inside the frame; the top limit lies 10 pixels above the frame, level with
// the tops of the vertical grid lines.
QPointF ClampLocus(QPointF point, const Frame& frame);

// The four corners of a region in the order that draws a closed outline whose sides do not
// cross (the outline runs result[0]-result[1]-result[2]-result[3]-result[0]).
std::array<QPointF, 4> OutlineOrder(const std::array<QPointF, 4>& corners);

// Progress of the record drawing in tenths of a percent after `drawn` of `count` records:
// the whole part of drawn / count * 1000. 0 when there is nothing to count.
std::int64_t ProgressPermille(std::int64_t drawn, double count);

// "12.5 % Completed" for 125 permille.
QString ProgressCaption(std::int64_t permille);

// The value of a record field, or nothing when the field holds no number: blanks around a
// decimal number ("." as decimal point) are allowed, anything else is not.
std::optional<double> RecordValue(std::string_view field);

// The part of the segment a-b inside `box`, or nothing when it misses the box. Keeps far-away
// points (a very narrow axis range) out of the painter's arithmetic.
std::optional<std::array<QPointF, 2>> ClipSegment(QPointF a, QPointF b, const QRectF& box);

// Why the range dialog refuses its input, or nothing when it is accepted.
std::optional<QString> RangeRefusal(double from, double to, int recordCount, double axisMin,
                                    double axisMax);

} // namespace plot
