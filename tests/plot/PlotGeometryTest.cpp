#include "plot/PlotGeometry.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace plot {
namespace {

TEST(FrameGeometry, WidthIsAMultipleOfThirtyLessTen)
{
    struct Row
    {
        double sw, sh, width, height, bottom;
    };
    for (const Row& row : std::vector<Row>{{400, 500, 320, 400, 473},
                                           {419, 500, 320, 400, 473},
                                           {420, 500, 350, 400, 473},
                                           {90, 100, 20, 0, 73},
                                           // 340.5 rounds to 340 (halves to even): remainder 10
                                           {400.5, 500, 320.5, 400, 473},
                                           // 341.5 rounds to 342: remainder 12
                                           {401.5, 500, 319.5, 400, 473}}) {
        SCOPED_TRACE(row.sw);
        const Frame frame = FrameFromClient(row.sw, row.sh);
        EXPECT_DOUBLE_EQ(frame.left, 60);
        EXPECT_DOUBLE_EQ(frame.width, row.width);
        EXPECT_DOUBLE_EQ(frame.height, row.height);
        EXPECT_DOUBLE_EQ(frame.bottom, row.bottom);
    }
}

TEST(AxisLabels, OneDecimalCutNotRounded)
{
    const std::vector<std::pair<double, const char*>> rows = {
        {0, "0.0"},
        {0.25, "0.2"},
        {-0.15, "-0.1"},
        {1, "1.0"},
        {0.99, "0.9"},
        {12, "12.0"},
        {-3, "-3.0"},
        {0.05, "0.0"},
        {2.75, "2.7"},
        // floating noise around zero is zero, not its mantissa
        {-5.551115123125783e-17, "0.0"},
        {1e-5, "0.0"},
        {1.5e20, "150000000000000000000.0"}};
    for (const auto& [value, label] : rows)
        EXPECT_EQ(AxisLabel(value), QString::fromLatin1(label)) << value;
    // The default range's eleven labels, computed as the axis computes them.
    QStringList labels;
    for (int j = 0; j <= 10; ++j)
        labels << AxisLabel(0 + j * (1.0 - 0.0) / 10);
    EXPECT_EQ(labels.join(QLatin1Char(' ')),
              QStringLiteral("0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0"));
}

TEST(Mapping, RangeWithoutWidthNeverDividesByZero)
{
    const Frame frame{60, 473, 320, 400};
    for (const auto& [min, max] :
         std::vector<std::pair<double, double>>{{0.5, 0.5}, {-1.7e308, 1.7e308}, {0, 0}}) {
        const Mapping mapping(frame, min, max);
        EXPECT_TRUE(std::isfinite(mapping.X(0.3))) << min << " " << max;
        EXPECT_TRUE(std::isfinite(mapping.Y(0.3))) << min << " " << max;
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

TEST(OutlineOrder, CrossedCornersAreDrawnRound)
{
    struct Row
    {
        std::array<QPointF, 4> corners;
        std::array<int, 4> order; // indexes into corners
    };
    const QPointF a(0, 0), b(10, 0), c(10, 10), d(0, 10);
    const std::vector<Row> rows = {
        {{a, b, c, d}, {0, 1, 2, 3}}, // already round
        {{a, c, b, d}, {0, 2, 1, 3}}, // P1P2 is a diagonal
        {{a, b, d, c}, {0, 1, 3, 2}}, // P3 and P4 swapped
        {{a, a, a, a}, {0, 2, 1, 3}}, // an empty row: all corners on one point
    };
    for (const Row& row : rows) {
        const auto outline = OutlineOrder(row.corners);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(outline[i], row.corners[static_cast<std::size_t>(row.order[i])]);
    }
}

TEST(OutlineOrder, NoOrderOfAConvexRegionGivesCrossingSides)
{
    const std::vector<std::array<QPointF, 4>> shapes = {
        {QPointF(0, 0), QPointF(10, 0), QPointF(10, 10), QPointF(0, 10)},
        {QPointF(0, 0), QPointF(30, 5), QPointF(25, 20), QPointF(3, 12)},
        // window coordinates of a tolerance box (y grows downwards)
        {QPointF(228, 465), QPointF(256, 465), QPointF(256, 437), QPointF(228, 437)}};
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
        {"\xb5", {}}};
    for (const auto& [field, expected] : rows)
        EXPECT_EQ(RecordValue(field), expected) << field;
}

TEST(ClipSegment, KeepsThePartInsideTheBox)
{
    const QRectF box(0, 0, 100, 100);
    struct Row
    {
        QPointF a, b;
        std::optional<std::array<QPointF, 2>> expected;
    };
    const std::vector<Row> rows = {
        {{10, 10}, {90, 90}, std::array<QPointF, 2>{QPointF(10, 10), QPointF(90, 90)}},
        {{-50, 50}, {150, 50}, std::array<QPointF, 2>{QPointF(0, 50), QPointF(100, 50)}},
        {{50, -1e9}, {50, 1e9}, std::array<QPointF, 2>{QPointF(50, 0), QPointF(50, 100)}},
        {{50, 50}, {50, 1e300}, std::array<QPointF, 2>{QPointF(50, 50), QPointF(50, 100)}},
        {{-10, -10}, {-5, 200}, std::nullopt},
        {{200, 200}, {300, 300}, std::nullopt},
    };
    for (const Row& row : rows) {
        const auto part = ClipSegment(row.a, row.b, box);
        ASSERT_EQ(part.has_value(), row.expected.has_value()) << row.a.x() << "," << row.a.y();
        if (!part)
            continue;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_NEAR((*part)[i].x(), (*row.expected)[i].x(), 1e-6);
            EXPECT_NEAR((*part)[i].y(), (*row.expected)[i].y(), 1e-6);
        }
    }
}

} // namespace
} // namespace plot
