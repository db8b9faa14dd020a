#include "files/ColumnStatistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using Column = std::vector<std::optional<double>>;
using Stat = std::optional<double>;

void expectNear(Stat actual, Stat expected, const char* what)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_NEAR(*actual, *expected, 1e-9) << what;
    }
}

// Worked by hand. 2 4 4 4 5 5 7 9: mean 5, squares 9+1+1+1+0+0+4+16 = 32 over n - 1 = 7; its
// window 4 5 5 7: mean 5.25, squares 4.75 over 3. Around 1e9 the differences -6 -3 3 6 give
// squares 90 over 3, which a plain sum of squares would lose.
TEST(ColumnStatistics, CountExtremesMeanAndSampleDeviation)
{
    const double G = 1e9;
    const double Nan = std::numeric_limits<double>::quiet_NaN();
    const Column eight = {2, 4, 4, 4, 5, 5, 7, 9};
    const struct
    {
        const char* name;
        Column values;
        long long count;
        Stat minimum, maximum, mean, deviation;
    } rows[] = {
        {"eight values", eight, 8, 2, 9, 5, std::sqrt(32.0 / 7)},
        {"near 1e9", {G + 4, G + 7, G + 13, G + 16}, 4, G + 4, G + 16, G + 10, std::sqrt(30.0)},
        {"gaps and NaN skipped", {std::nullopt, -3, Nan, 1}, 2, -3, 1, -1, std::sqrt(8.0)},
        {"one value has no deviation", {std::nullopt, 0.3127}, 1, 0.3127, 0.3127, 0.3127, {}},
        {"nothing", {std::nullopt}, 0, {}, {}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const files::ColumnStatistics s = files::StatisticsOf(row.values);
        EXPECT_EQ(s.count(), row.count);
        expectNear(s.minimum(), row.minimum, "minimum");
        expectNear(s.maximum(), row.maximum, "maximum");
        expectNear(s.mean(), row.mean, "mean");
        expectNear(s.standardDeviation(), row.deviation, "standard deviation");
    }
    const files::ColumnStatistics window = files::StatisticsOf(std::span(eight).subspan(3, 4));
    expectNear(window.mean(), 5.25, "window mean");
    expectNear(window.standardDeviation(), std::sqrt(4.75 / 3), "window deviation");
}

} // namespace
