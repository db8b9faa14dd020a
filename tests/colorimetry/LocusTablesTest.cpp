#include "colorimetry/LocusTables.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using colorimetry::PlanckianLocusTable;
using colorimetry::SpectralLocusTable;

struct TellingRow
{
    std::size_t row;
    int key;
    double x;
    double y;
};

template <typename Table> void expectRows(const Table& table, const std::vector<TellingRow>& rows)
{
    for (const TellingRow& expected : rows) {
        SCOPED_TRACE(testing::Message() << "row " << expected.row);
        const auto& actual = table.at(expected.row);
        EXPECT_EQ(actual.key, expected.key);
        EXPECT_DOUBLE_EQ(actual.x, expected.x);
        EXPECT_DOUBLE_EQ(actual.y, expected.y);
    }
}

TEST(SpectralLocusTable, RunsFrom380To780ClosesOnTheFirstPointAndEndsEmpty)
{
    ASSERT_EQ(SpectralLocusTable.size(), 403U);
    expectRows(SpectralLocusTable, {{0, 380, 0.1741, 0.0050},
                                    {1, 381, 0.1741, 0.0050},
                                    {20, 400, 0.1733, 0.0048},
                                    {70, 450, 0.1566, 0.0177},
                                    {100, 480, 0.0913, 0.1327},
                                    {120, 500, 0.0082, 0.5384},
                                    {124, 504, 0.0036, 0.6330},
                                    {140, 520, 0.0743, 0.8338},
                                    {141, 521, 0.0821, 0.8341},
                                    {175, 555, 0.3374, 0.6588},
                                    {200, 580, 0.5125, 0.4866},
                                    {220, 600, 0.6270, 0.3725},
                                    {270, 650, 0.7260, 0.2740},
                                    {310, 690, 0.7344, 0.2656},
                                    {318, 698, 0.7347, 0.2653},
                                    {400, 780, 0.7347, 0.2653},
                                    {401, 380, 0.1741, 0.0050},
                                    {402, 0, 0, 0}});
    EXPECT_NE(SpectralLocusTable[317].x, 0.7347);
    for (std::size_t i = 0; i <= 400; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        EXPECT_EQ(SpectralLocusTable[i].key, 380 + static_cast<int>(i));
        if (i >= 318) { // the red end is constant from 698 nm
            EXPECT_DOUBLE_EQ(SpectralLocusTable[i].x, 0.7347);
            EXPECT_DOUBLE_EQ(SpectralLocusTable[i].y, 0.2653);
        }
    }
}

TEST(PlanckianLocusTable, RunsFromRedTowardsBlueOnAGridWideningTowardsBlue)
{
    ASSERT_EQ(PlanckianLocusTable.size(), 411U);
    expectRows(PlanckianLocusTable, {{0, 1000, 0.6527, 0.3445},
                                     {2, 1020, 0.6499, 0.3470},
                                     {185, 2850, 0.4480, 0.4076},
                                     {300, 4000, 0.3805, 0.3768},
                                     {301, 4050, 0.3783, 0.3754},
                                     {350, 6500, 0.3136, 0.3237},
                                     {361, 7100, 0.3051, 0.3153},
                                     {391, 10500, 0.2781, 0.2853},
                                     {410, 20000, 0.2565, 0.2577}});
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
