#include "plot/AxisTicks.h"

#include "plot/GraphDiagram.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace plot {

namespace {

// The first digit of a round step: 1, 2 or 5.
int leadingDigit(double step)
{
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    return static_cast<int>(std::lround(step / power));
}

// Pixels between the tick and its label, and between the labels of neighbouring ticks.
constexpr double LabelGap = 12;
constexpr double TitleGap = 8;

QPen blackPen(double width)
{
    QPen pen(Qt::black);
    pen.setWidthF(width);
    return pen;
}

} // namespace

double RoundStepAtLeast(double least)
{
    if (!(least > 0) || !std::isfinite(least))
        return 1;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    // 1e-9 of slack: 0.3 / 3 must give 0.1, not 0.2.
    for (const double digit : {1.0, 2.0, 5.0, 10.0}) {
        if (digit * power >= least * (1 - 1e-9))
            return digit * power;
    }
    return 10 * power;
}

double NextRoundStep(double step)
{
    const int digit = leadingDigit(step);
    return digit == 2 ? step * 2.5 : step * 2;
}

std::vector<double> TickValues(double min, double max, double step, int limit)
{
    std::vector<double> values;
    if (!(step > 0) || !std::isfinite(min) || !std::isfinite(max) || min > max)
        return values;
    // Multiples of the step, each worked out from its count so that no error adds up.
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    for (double k = first; k <= last && static_cast<int>(values.size()) < limit; ++k)
        values.push_back(k == 0 ? 0.0 : k * step);
    return values;
}

TickedAxes LayOutTickedAxes(const Frame& f, const AxisRanges& ranges, QSizeF picture,
                            const QFont& font, const QString& xTitle, const QString& yTitle,
                            const QPaintDevice* device, double spacing)
{
    TickedAxes axes;
    const QFontMetricsF metrics =
        device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double height = metrics.height();
    const double xScale = f.width / (ranges.xMax - ranges.xMin);
    const double yScale = f.height / (ranges.yMax - ranges.yMin);
    const double scale = std::min(xScale, yScale);
    const auto xPixel = [&](double v) { return f.left + (v - ranges.xMin) * xScale; };
    const auto yPixel = [&](double v) { return f.bottom - (v - ranges.yMin) * yScale; };
    if (!(scale > 0) || !std::isfinite(scale))
        return axes;

    // The widest label decides how close the ticks may stand.
    const auto widest = [&](double step) {
        double width = 0;
        for (const double v : TickValues(ranges.xMin, ranges.xMax, step, 200))
            width = std::max(width, metrics.horizontalAdvance(GraphAxisLabel(v, step)));
        return width;
    };
    double step = RoundStepAtLeast(std::max(spacing, height + 6) / scale);
    for (int i = 0; i < 12 && widest(step) + LabelGap > step * xScale; ++i)
        step = NextRoundStep(step);
    axes.step = step;
    axes.minorStep = leadingDigit(step) == 2 ? step / 2 : step / 5;

    const double labelTop = std::min(f.bottom + 14, picture.height() - height);
    const auto titleBox = [&](const QString& text, QPointF at) {
        return PrintedText{text, QRectF(at, QSizeF(metrics.horizontalAdvance(text), height))};
    };
    axes.xTitle = titleBox(xTitle, QPointF(f.right() + TitleGap, labelTop));
    const double xTitleWidth = axes.xTitle.box.width();
    if (axes.xTitle.box.right() > picture.width())
        axes.xTitle.box.moveLeft(picture.width() - xTitleWidth);
    axes.yTitle = titleBox(yTitle, QPointF(0, std::max(0.0, f.top() - height)));
    axes.yTitle.box.moveRight(f.left - LabelGap);
    const QRectF inside(QPointF(0, 0), picture);
    const auto place = [&](const QString& text, QRectF box) {
        // The gap keeps a label clear of a title that would touch it.
        const QRectF spaced = box.adjusted(-2, -2, 2, 2);
        if (!inside.contains(box) || spaced.intersects(axes.xTitle.box) ||
            spaced.intersects(axes.yTitle.box))
            return;
        axes.labels.push_back({text, box});
    };

    for (const double v : TickValues(ranges.xMin, ranges.xMax, step)) {
        const double x = xPixel(v);
        axes.xMajor.push_back(x);
        const QString text = GraphAxisLabel(v, step);
        const double width = metrics.horizontalAdvance(text);
        place(text, QRectF(x - width / 2, labelTop, width, height));
    }
    for (const double v : TickValues(ranges.yMin, ranges.yMax, step)) {
        const double y = yPixel(v);
        axes.yMajor.push_back(y);
        const QString text = GraphAxisLabel(v, step);
        const double width = metrics.horizontalAdvance(text);
        place(text, QRectF(f.left - LabelGap - width, y - height / 2, width, height));
    }
    for (const double v : TickValues(ranges.xMin, ranges.xMax, axes.minorStep))
        axes.xMinor.push_back(xPixel(v));
    for (const double v : TickValues(ranges.yMin, ranges.yMax, axes.minorStep))
        axes.yMinor.push_back(yPixel(v));
    return axes;
}

void DrawTickedAxes(QPainter& painter, const Frame& f, const TickedAxes& axes, const QFont& font)
{
    painter.setPen(blackPen(2));
    painter.drawLine(QPointF(f.left - 2, f.bottom + 5), QPointF(f.left - 2, f.top() - 5));
    painter.drawLine(QPointF(f.left - 2, f.bottom + 6), QPointF(f.right() + 2, f.bottom + 6));

    painter.setPen(blackPen(1));
    for (const double y : axes.yMinor)
        painter.drawLine(QPointF(f.left - 2, y), QPointF(f.left - 6, y));
    for (const double x : axes.xMinor)
        painter.drawLine(QPointF(x, f.bottom + 5), QPointF(x, f.bottom + 9));
    for (const double y : axes.yMajor)
        painter.drawLine(QPointF(f.left - 2, y), QPointF(f.left - 10, y));
    for (const double x : axes.xMajor)
        painter.drawLine(QPointF(x, f.bottom + 5), QPointF(x, f.bottom + 13));

    painter.setFont(font);
    for (const PrintedText& label : axes.labels)
        DrawPrintedText(painter, label);
    DrawPrintedText(painter, axes.xTitle);
    DrawPrintedText(painter, axes.yTitle);
}

void DrawTickedGrid(QPainter& painter, const Frame& f, const TickedAxes& axes, const QColor& colour)
{
    QPen grid(colour);
    grid.setWidthF(1);
    painter.setPen(grid);
    for (const double y : axes.yMajor)
        painter.drawLine(QPointF(f.left, y), QPointF(f.right(), y));
    for (const double x : axes.xMajor)
        painter.drawLine(QPointF(x, f.bottom), QPointF(x, f.top() - 10));
}

} // namespace plot
