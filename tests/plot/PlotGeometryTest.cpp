#include "plot/PlotGeometry.h"

#include "plot/RangeStatistics.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace plot {
namespace {

TEST(AxisLabels, CutNotRoundedToTheDecimalsGiven)
{
    const std::vector<std::tuple<double, int, const char*>> rows = {
        {0.25, 1, "0.2"},
        {-0.15, 1, "-0.1"},
        {0.99, 1, "0.9"},
        {12, 1, "12.0"},
        {0.05, 1, "0.0"},
        {0.3, 3, "0.300"},
        {0.31799999999999995, 3, "0.318"},
        {0.0625, 3, "0.062"},
        // floating noise around zero is zero, not its mantissa
        {-5.551115123125783e-17, 1, "0.0"},
        {-5.551115123125783e-17, 4, "0.0000"},
        {1e-5, 1, "0.0"},
        {1.25e-5, 6, "0.000012"},
        {1.5e20, 1, "150000000000000000000.0"}};
    for (const auto& [value, decimals, label] : rows)
        EXPECT_EQ(AxisLabel(value, decimals).toStdString(), label) << value;
}

// The eleven labels of an axis, computed as the axis computes them: as many decimals as
// neighbours need to differ, and the default range as it always was.
TEST(AxisLabels, NeighboursDifferWithTheFewestDecimals)
{
    const std::vector<std::tuple<double, double, const char*>> rows = {
        {0, 1, "0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0"},
        {0.3, 0.36, "0.300 0.306 0.312 0.318 0.324 0.330 0.336 0.342 0.348 0.354 0.360"},
        {0, 0.15, "0.00 0.01 0.03 0.04 0.06 0.07 0.09 0.10 0.12 0.13 0.15"},
        {-0.5, 0.5, "-0.5 -0.4 -0.3 -0.2 -0.1 0.0 0.1 0.2 0.3 0.4 0.5"},
        {0.3127, 0.3128,
         "0.31270 0.31271 0.31272 0.31273 0.31274 0.31275 0.31276 0.31277 0.31278 0.31279 0.31280"},
        {0.0095, 0.9995,
         "0.00 0.10 0.20 0.30 0.40 0.50 0.60 0.70 0.80 0.90 0.99"}, // last two need it
        {0.5, 0.5, "0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5"}};
    for (const auto& [min, max, expected] : rows) {
        const int decimals = AxisLabelDecimals(min, max);
        QStringList labels;
        for (int j = 0; j <= 10; ++j)
            labels << AxisLabel(min + j * (max - min) / 10, decimals);
        EXPECT_EQ(labels.join(QLatin1Char(' ')).toStdString(), expected) << min << " to " << max;
    }
}

TEST(ClampLocus, NarrowRangeHoldsLocusPointsOnTheFrameEdges)
{
    const Frame frame = FrameFromClient(630, 660); // 60, 633, 560 x 560
    const Mapping mapping(frame, 0.3, 0.5);
    struct Row
    {
        double x, y;
        QPointF expected;
    };
    const std::vector<Row> rows = {
        // the red end lies right of and below the range
        {0.7347, 0.2653, QPointF(620, 633)},
        // the top of the horseshoe: left of the range, above it up to 10 pixels over the frame
        {0.0821, 0.8341, QPointF(60, 63)},
        // 6500 K lies inside and stays where it maps
        {0.3136, 0.3237, mapping.map(0.3136, 0.3237)},
        // blue end of the Planckian locus: left and below
        {0.2565, 0.2577, QPointF(60, 633)},
    };
    for (const Row& row : rows) {
        const QPointF clamped = ClampLocus(mapping.map(row.x, row.y), frame);
        EXPECT_DOUBLE_EQ(clamped.x(), row.expected.x()) << row.x << "," << row.y;
        EXPECT_DOUBLE_EQ(clamped.y(), row.expected.y()) << row.x << "," << row.y;
    }
}

bool segmentsCross(QPointF a, QPointF b, QPointF c, QPointF d)
{
    const auto cross = [](QPointF o, QPointF p, QPointF q) {
        return (p.x() - o.x()) * (q.y() - o.y()) - (p.y() - o.y()) * (q.x() - o.x());
    };
    return cross(a, b, c) * cross(a, b, d) < 0 && cross(c, d, a) * cross(c, d, b) < 0;
}

double area(const std::array<QPointF, 4>& c)
{
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i)
        twice += c[i].x() * c[(i + 1) % 4].y() - c[(i + 1) % 4].x() * c[i].y();
    return twice / 2;
}

TEST(OutlineOrder, NoOrderOfAConvexRegionGivesCrossingSides)
{
    const std::vector<std::array<QPointF, 4>> shapes = {
        {QPointF(0, 0), QPointF(10, 0), QPointF(10, 10), QPointF(0, 10)},
        {QPointF(0, 0), QPointF(30, 5), QPointF(25, 20), QPointF(3, 12)},
        // window coordinates of a tolerance box (y grows downwards)
        {QPointF(228, 465), QPointF(256, 465), QPointF(256, 437), QPointF(228, 437)},
        // triangles: a corner typed on a side, a flat side typed with equal values
        {QPointF(0, 0), QPointF(5, 0), QPointF(10, 0), QPointF(4, 8)},
        {QPointF(0.30, 0.30), QPointF(0.36, 0.30), QPointF(0.36, 0.33), QPointF(0.36, 0.36)},
        // an empty row: all corners on one point
        {QPointF(0, 0), QPointF(0, 0), QPointF(0, 0), QPointF(0, 0)}};
    for (const auto& shape : shapes) {
        std::array<int, 4> perm = {0, 1, 2, 3};
        do {
            std::array<QPointF, 4> corners;
            for (std::size_t i = 0; i < 4; ++i)
                corners[i] = shape[static_cast<std::size_t>(perm[i])];
            const auto o = OutlineOrder(corners);
            EXPECT_FALSE(segmentsCross(o[0], o[1], o[2], o[3]))
                << perm[0] << perm[1] << perm[2] << perm[3];
            EXPECT_FALSE(segmentsCross(o[1], o[2], o[3], o[0]))
                << perm[0] << perm[1] << perm[2] << perm[3];
            // The outline encloses the whole region (the shapes are listed round theirs).
            EXPECT_DOUBLE_EQ(std::abs(area(o)), std::abs(area(shape)))
                << perm[0] << perm[1] << perm[2] << perm[3];
        } while (std::next_permutation(perm.begin(), perm.end()));
    }
}

TEST(Progress, WholeTenthsAreCutAndThereIsNoDivisionByZero)
{
    struct Row
    {
        std::int64_t drawn;
        double count;
        std::int64_t permille;
    };
    for (const Row& row : std::vector<Row>{{1, 3, 333},
                                           {2, 3, 666},
                                           {3, 3, 1000},
                                           {29, 100, 290},
                                           {1, 8.5, 117}, // From 2.5 to 10
                                           {1, 0, 0},
                                           {1, -4, 0},
                                           {999999, 1000000, 999}})
        EXPECT_EQ(ProgressPermille(row.drawn, row.count), row.permille) << row.drawn;
    EXPECT_EQ(ProgressCaption(333), QStringLiteral("33.3 % Completed"));
    EXPECT_EQ(ProgressCaption(0), QStringLiteral("0 % Completed"));
}

TEST(RecordValues, OnlyWholeNumbersAreDrawn)
{
    const std::vector<std::pair<const char*, std::optional<double>>> rows = {
        {" 0.3127", 0.3127}, {"0.3290 ", 0.329}, {"-0.0050", -0.005}, {"+0.5", 0.5},
        {".25", 0.25},       {"", {}},           {"0.31ab", {}},      {"0,3127", {}},
        {"inf", {}},         {"nan", {}},        {"1e999", {}},       {"0x1p3", {}},
        {"\xb5", {}},        {"+2.5e-1", 0.25}};
    for (const auto& [field, expected] : rows)
        EXPECT_EQ(RecordValue(field), expected) << field;
}

// The statistics of a range count the stored records in it and nothing beyond their ends.
TEST(RangeStatistics, OnlyTheRecordsInTheRange)
{
    files::RecordTable records;
    records.append("0.3000", "0.3100");
    records.append("0.3200", "0.3300");
    records.append("abc", "0.1000");
    struct Row
    {
        files::RecordRange range;
        long long plotted, notNumbers;
        double meanX;
    };
    for (const Row& row : std::vector<Row>{{{1, 3}, 2, 1, 0.31},
                                           {{0, 5}, 2, 1, 0.31},
                                           {{2.5, 3}, 1, 0, 0.32},
                                           {{3, 9}, 0, 1, 0}}) {
        const RangeStatistics s = StatisticsOfRange(records, row.range, nullptr);
        EXPECT_EQ(s.plotted, row.plotted) << row.range.from;
        EXPECT_EQ(s.notNumbers, row.notNumbers) << row.range.from;
        EXPECT_DOUBLE_EQ(s[StatisticsRow::x].mean().value_or(0), row.meanX) << row.range.from;
    }
}

} // namespace
} // namespace plot
