#include "colorimetry/LocusTables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using colorimetry::LocusRow;
using colorimetry::PlanckianLocusTable;
using colorimetry::SpectralLocusTable;

struct TellingRow
{
    int row;
    int key;
    double x;
    double y;
};

void expectRow(const LocusRow& actual, const TellingRow& expected)
{
    SCOPED_TRACE(testing::Message() << "row " << expected.row);
    EXPECT_EQ(actual.key, expected.key);
    EXPECT_DOUBLE_EQ(actual.x, expected.x);
    EXPECT_DOUBLE_EQ(actual.y, expected.y);
}

TEST(SpectralLocusTable, HoldsTheKnownRows)
{
    const std::vector<TellingRow> rows = {
        {0, 380, 0.1741, 0.0050},   {1, 381, 0.1741, 0.0050},   {20, 400, 0.1733, 0.0048},
        {70, 450, 0.1566, 0.0177},  {100, 480, 0.0913, 0.1327}, {120, 500, 0.0082, 0.5384},
        {124, 504, 0.0036, 0.6330}, {140, 520, 0.0743, 0.8338}, {141, 521, 0.0821, 0.8341},
        {175, 555, 0.3374, 0.6588}, {200, 580, 0.5125, 0.4866}, {220, 600, 0.6270, 0.3725},
        {270, 650, 0.7260, 0.2740}, {310, 690, 0.7344, 0.2656}, {318, 698, 0.7347, 0.2653},
        {400, 780, 0.7347, 0.2653}, {401, 380, 0.1741, 0.0050},
    };
    for (const TellingRow& row : rows) {
        expectRow(SpectralLocusTable.at(static_cast<std::size_t>(row.row)), row);
    }
}

TEST(SpectralLocusTable, RowsRunFrom380To780NanometresInOneNanometreSteps)
{
    ASSERT_EQ(SpectralLocusTable.size(), 403U);
    for (std::size_t i = 0; i <= 400; ++i) {
        EXPECT_EQ(SpectralLocusTable[i].key, 380 + static_cast<int>(i)) << "row " << i;
    }
}

TEST(SpectralLocusTable, ClosingRowReturnsToTheFirstPoint)
{
    const LocusRow& first = SpectralLocusTable[0];
    const LocusRow& closing = SpectralLocusTable[401];
    EXPECT_EQ(closing.key, first.key);
    EXPECT_EQ(closing.x, first.x);
    EXPECT_EQ(closing.y, first.y);
}

TEST(SpectralLocusTable, RedEndIsConstantFrom698Nanometres)
{
    EXPECT_NE(SpectralLocusTable[317].x, 0.7347);
    for (std::size_t i = 318; i <= 400; ++i) {
        EXPECT_DOUBLE_EQ(SpectralLocusTable[i].x, 0.7347) << "row " << i;
        EXPECT_DOUBLE_EQ(SpectralLocusTable[i].y, 0.2653) << "row " << i;
    }
}

TEST(SpectralLocusTable, LastRowIsEmpty)
{
    const LocusRow& last = SpectralLocusTable[402];
    EXPECT_EQ(last.key, 0);
    EXPECT_EQ(last.x, 0.0);
    EXPECT_EQ(last.y, 0.0);
}

TEST(SpectralLocusTable, ExtremesOfTheHorseshoe)
{
    const auto begin = SpectralLocusTable.begin();
    const auto end = begin + 402;
    const auto smallestX = std::min_element(
        begin, end, [](const LocusRow& a, const LocusRow& b) { return a.x < b.x; });
    const auto largestY = std::max_element(
        begin, end, [](const LocusRow& a, const LocusRow& b) { return a.y < b.y; });
    EXPECT_EQ(smallestX - begin, 124);
    EXPECT_EQ(largestY - begin, 141);
}

TEST(PlanckianLocusTable, HoldsTheKnownRows)
{
    const std::vector<TellingRow> rows = {
        {0, 1000, 0.6527, 0.3445},    {1, 1010, 0.6513, 0.3457},    {2, 1020, 0.6499, 0.3470},
        {50, 1500, 0.5857, 0.3931},   {100, 2000, 0.5267, 0.4133},  {150, 2500, 0.4770, 0.4137},
        {185, 2850, 0.4480, 0.4076},  {200, 3000, 0.4369, 0.4041},  {250, 3500, 0.4053, 0.3907},
        {300, 4000, 0.3805, 0.3768},  {301, 4050, 0.3783, 0.3754},  {320, 5000, 0.3451, 0.3516},
        {350, 6500, 0.3136, 0.3237},  {360, 7000, 0.3064, 0.3166},  {361, 7100, 0.3051, 0.3153},
        {390, 10000, 0.2807, 0.2884}, {391, 10500, 0.2781, 0.2853}, {400, 15000, 0.2637, 0.2674},
        {410, 20000, 0.2565, 0.2577},
    };
    for (const TellingRow& row : rows) {
        expectRow(PlanckianLocusTable.at(static_cast<std::size_t>(row.row)), row);
    }
}

TEST(PlanckianLocusTable, TemperatureGridStepsWidenTowardsBlue)
{
    ASSERT_EQ(PlanckianLocusTable.size(), 411U);
    struct Step
    {
        std::size_t row;
        int kelvin;
    };
    const std::vector<Step> steps = {{299, 3990},  {300, 4000},  {301, 4050}, {359, 6950},
                                     {360, 7000},  {361, 7100},  {389, 9900}, {390, 10000},
                                     {391, 10500}, {409, 19500}, {410, 20000}};
    for (const Step& step : steps) {
        EXPECT_EQ(PlanckianLocusTable[step.row].key, step.kelvin) << "row " << step.row;
    }
}

TEST(PlanckianLocusTable, EveryRowFollowsTheGridAndRunsFromRedTowardsBlue)
{
    for (std::size_t i = 0; i < PlanckianLocusTable.size(); ++i) {
        const int n = static_cast<int>(i);
        const int kelvin = n <= 300   ? 1000 + 10 * n
                           : n <= 360 ? 4000 + 50 * (n - 300)
                           : n <= 390 ? 7000 + 100 * (n - 360)
                                      : 10000 + 500 * (n - 390);
        EXPECT_EQ(PlanckianLocusTable[i].key, kelvin) << "row " << i;
        if (i > 0) {
            EXPECT_LT(PlanckianLocusTable[i].x, PlanckianLocusTable[i - 1].x) << "row " << i;
        }
    }
}

} // namespace
