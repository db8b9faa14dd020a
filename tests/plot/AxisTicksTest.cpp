#include "plot/AxisTicks.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace plot {
namespace {

// 500 x 500 pixels of frame in a 600 x 560 picture: 60 pixels left of it, 27 below, 40 right.
const Frame Square{60, 533, 500, 500};
const QSizeF Picture(600, 560);

// Steps of 1, 2 and 5 x 10^n, at least 50 pixels apart and wide enough for their labels, and
// labels with the decimals the step needs, whatever range zoom and pan leave on the axes.
TEST(AxisTicks, RoundStepsAndLabelsForNarrowAndWideRanges)
{
    const struct
    {
        const char* what;
        AxisRanges ranges;
        double step;
        const char* xLabels;
    } rows[] = {
        {"the whole x, y diagram",
         {-0.02, 0.76, 0.0, 0.78},
         0.1,
         "0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7"},
        {"a zoom that today ticks at 0.3140",
         {0.3140, 0.3780, 0.30, 0.364},
         0.01,
         "0.32 0.33 0.34 0.35 0.36 0.37"},
        {"narrow about 5000 K",
         {0.3401, 0.3521, 0.35, 0.362},
         0.002,
         "0.342 0.344 0.346 0.348 0.350"},
        {"the narrowest zoom",
         {0.3450, 0.3470, 0.35, 0.352},
         0.0005,
         "0.3450 0.3455 0.3460 0.3465"},
        {"the widest zoom",
         {-0.5, 1.5, -0.5, 1.5},
         0.2,
         "-0.4 -0.2 0.0 0.2 0.4 0.6 0.8 1.0 1.2 1.4"},
        {"the whole u', v' diagram", {-0.02, 0.64, 0.0, 0.66}, 0.1, "0.0 0.1 0.2 0.3 0.4 0.5 0.6"},
        {"u', v' about the locus at 5000 K",
         {0.1945, 0.2265, 0.46, 0.492},
         0.005,
         "0.195 0.200 0.205 0.210 0.215 0.220 0.225"},
    };
    const QFont font;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const TickedAxes axes = LayOutTickedAxes(Square, row.ranges, Picture, font,
                                                 QStringLiteral("x"), QStringLiteral("y"));
        EXPECT_DOUBLE_EQ(axes.step, row.step);
        QStringList bottom;
        for (const PrintedText& label : axes.labels) {
            if (label.box.top() <= Square.bottom)
                continue;
            bottom << label.text;
            // Centred under its tick.
            EXPECT_TRUE(std::ranges::any_of(axes.xMajor, [&label](double x) {
                return std::abs(label.box.center().x() - x) < 1e-6;
            })) << label.text.toStdString();
        }
        // The last label gives way where it would run into the axis title.
        EXPECT_EQ(bottom.join(QLatin1Char(' ')).toStdString(), row.xLabels);
        // Ticks land where their values map: the first at a whole multiple of the step.
        ASSERT_FALSE(axes.xMajor.empty());
        const double first = std::ceil(row.ranges.xMin / row.step - 1e-9) * row.step;
        EXPECT_NEAR(axes.xMajor.front(),
                    Square.left + (first - row.ranges.xMin) / (row.ranges.xMax - row.ranges.xMin) *
                                      Square.width,
                    1e-6);
        // Every label inside the picture, none over another or over a title.
        for (std::size_t i = 0; i < axes.labels.size(); ++i) {
            const QRectF box = axes.labels[i].box;
            EXPECT_TRUE(QRectF(QPointF(0, 0), Picture).contains(box)) << i;
            EXPECT_FALSE(box.intersects(axes.xTitle.box) || box.intersects(axes.yTitle.box)) << i;
            for (std::size_t j = i + 1; j < axes.labels.size(); ++j)
                EXPECT_FALSE(box.intersects(axes.labels[j].box)) << i << ' ' << j;
        }
    }
}

TEST(AxisTicks, StepsAndTickValuesAtTheirLimits)
{
    const std::pair<double, double> least[] = {{0.0031, 0.005}, {0.1, 0.1},  {0.3 / 3, 0.1},
                                               {0.11, 0.2},     {2.0001, 5}, {7, 10},
                                               {0, 1},          {-1, 1}};
    for (const auto& [given, step] : least)
        EXPECT_DOUBLE_EQ(RoundStepAtLeast(given), step) << given;
    EXPECT_DOUBLE_EQ(NextRoundStep(0.02), 0.05);
    EXPECT_DOUBLE_EQ(NextRoundStep(0.05), 0.1);
    EXPECT_DOUBLE_EQ(NextRoundStep(0.1), 0.2);

    EXPECT_EQ(TickValues(0.3, 0.5, 0.1).size(), 3u); // both ends are ticks
    EXPECT_EQ(TickValues(-0.05, 0.05, 0.1), std::vector<double>{0.0});
    EXPECT_EQ(TickValues(0.3, 0.3, 0.1).size(), 1u); // a range of one tick
    EXPECT_TRUE(TickValues(0.5, 0.3, 0.1).empty());
    EXPECT_TRUE(TickValues(0, 1, 0).empty());
    EXPECT_TRUE(TickValues(0.3, 0.5, 0).empty());
    EXPECT_EQ(TickValues(0, 1e9, 1e-9, 5).size(), 5u);
}

// The axes are two-pixel lines, straight from end to end, with their ticks outside the frame:
// a major one twice as long as a minor one.
TEST(AxisTicks, StraightAxesWithTicksOutside)
{
    QImage image(Picture.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TickedAxes axes;
    axes.yMajor = {200};
    axes.yMinor = {300};
    axes.xMajor = {200};
    axes.xMinor = {300};
    {
        QPainter painter(&image);
        DrawTickedAxes(painter, Square, axes, QFont());
    }
    const auto darkAcross = [&image](int y) {
        std::vector<int> dark;
        for (int x = 0; x < 100; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                dark.push_back(x);
        return dark;
    };
    const auto darkDown = [&image](int x) {
        std::vector<int> dark;
        for (int y = 500; y < 560; ++y)
            if (qGray(image.pixel(x, y)) < 128)
                dark.push_back(y);
        return dark;
    };
    const std::vector<int> yAxis = darkAcross(400);
    ASSERT_EQ(yAxis.size(), 2u);
    EXPECT_EQ(darkAcross(30), yAxis); // its top
    EXPECT_EQ(darkAcross(536), yAxis);
    const std::vector<int> xAxis = darkDown(400);
    ASSERT_EQ(xAxis.size(), 2u);
    EXPECT_EQ(darkDown(61), xAxis);  // its left end
    EXPECT_EQ(darkDown(558), xAxis); // its right end
    // Ticks from the axis' middle outwards: 8 pixels for a major one, 4 for a minor one.
    const auto run = [](int from, int to) {
        std::vector<int> pixels;
        for (int p = std::min(from, to); p <= std::max(from, to); ++p)
            pixels.push_back(p);
        return pixels;
    };
    EXPECT_EQ(darkAcross(200), run(yAxis.back(), yAxis.back() - 8));
    EXPECT_EQ(darkAcross(300), run(yAxis.back(), yAxis.back() - 4));
    EXPECT_EQ(darkDown(200), run(xAxis.front(), xAxis.front() + 8));
    EXPECT_EQ(darkDown(300), run(xAxis.front(), xAxis.front() + 4));
}

} // namespace
} // namespace plot
