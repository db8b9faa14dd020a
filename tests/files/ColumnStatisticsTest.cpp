#include "files/ColumnStatistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using Column = std::vector<std::optional<double>>;

struct StatisticsRow
{
    const char* name;
    Column values;
    long long count;
    std::optional<double> minimum, maximum, mean, deviation;
};

const double Nan = std::numeric_limits<double>::quiet_NaN();

// Worked by hand. 2 4 4 4 5 5 7 9: mean 5, squares 9+1+1+1+0+0+4+16 = 32 over 7. Around 1e9:
// differences -6 -3 3 6 from the mean, squares 90 over 3; a plain sum of squares loses them.
const StatisticsRow Rows[] = {
    {"eight values", {2, 4, 4, 4, 5, 5, 7, 9}, 8, 2, 9, 5, std::sqrt(32.0 / 7)},
    {"large and close",
     {1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16},
     4,
     1e9 + 4,
     1e9 + 16,
     1e9 + 10,
     std::sqrt(30.0)},
    {"missing and non-finite skipped",
     {std::nullopt, -3, Nan, std::nullopt, 1},
     2,
     -3,
     1,
     -1,
     std::sqrt(8.0)},
    {"one value has no deviation", {std::nullopt, 0.3127}, 1, 0.3127, 0.3127, 0.3127, {}},
    {"nothing", {std::nullopt}, 0, {}, {}, {}, {}},
};

void expectNear(std::optional<double> actual, std::optional<double> expected, const char* what)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_NEAR(*actual, *expected, 1e-9) << what;
    }
}

TEST(ColumnStatistics, CountExtremesMeanAndSampleDeviation)
{
    for (const StatisticsRow& row : Rows) {
        SCOPED_TRACE(row.name);
        const files::ColumnStatistics s = files::StatisticsOf(row.values);
        EXPECT_EQ(s.count(), row.count);
        expectNear(s.minimum(), row.minimum, "minimum");
        expectNear(s.maximum(), row.maximum, "maximum");
        expectNear(s.mean(), row.mean, "mean");
        expectNear(s.standardDeviation(), row.deviation, "standard deviation");
    }
    // A window of kept rows: 4 5 5 7 of the first column, mean 5.25, squares 4.75 over 3.
    const Column& first = Rows[0].values;
    const files::ColumnStatistics window = files::StatisticsOf(std::span(first).subspan(3, 4));
    expectNear(window.mean(), 5.25, "window mean");
    expectNear(window.standardDeviation(), std::sqrt(4.75 / 3), "window deviation");
}

} // namespace
