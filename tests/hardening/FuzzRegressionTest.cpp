// Inputs the fuzzers found, kept as cases so that the faults stay mended. The raw inputs also
// seed the fuzzers (fuzz/corpus/<target>/crash-*).
#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "panel/DisplayState.h"
#include "panel/FormatReading.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct TinyRow
{
    double value;
    int decimals;
    const char* expected;
    char separator = '.';
};

class TinyReadings : public ::testing::TestWithParam<TinyRow>
{
};

// Below 0.0001 the number's default text is an exponent form; its cut digits used to show
// "1E-05.0", a lone "-" or "9.29" for a reading of nine millionths.
TEST_P(TinyReadings, ShowTheirLeadingZeros)
{
    const TinyRow& row = GetParam();
    EXPECT_EQ(
        panel::FormatReading(row.value, row.decimals, QLatin1Char(row.separator)).toStdString(),
        row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Found, TinyReadings,
    ::testing::Values(TinyRow{-1.0000000000000001e-05, 3, "-0.0000"},
                      TinyRow{-1.0000000000000001e-05, 2, "-0.00"}, TinyRow{9.29e-06, 2, "0.00"},
                      TinyRow{9.29e-06, 1, "0.0"}, TinyRow{9.29e-06, 0, "0"},
                      TinyRow{4.9e-324, 4, "0.0000"}, TinyRow{0.0001, 4, "0.0001"},
                      TinyRow{0.000099999, 4, "0.0000"}, TinyRow{9.29e-06, 3, "0,0000", ','}));

// One unit of the meter's illuminance in foot-candles is 9.29e-06 fc.
TEST(TinyReadings, SmallestFootCandleReadingIsNotShownAsNine)
{
    const auto rule = panel::IlluminanceRuleFor(0, true);
    const QString text = panel::IlluminanceText(1, rule, QLatin1Char('.'));
    EXPECT_FALSE(text.startsWith(QLatin1Char('9'))) << text.toStdString();
}

struct LineRow
{
    const char* name;
    files::Reading reading;
};

void PrintTo(const LineRow& row, std::ostream* os)
{
    *os << row.name;
}

class ExtremeReadings : public ::testing::TestWithParam<LineRow>
{
};

// A negative value at the bottom of its field's range used to widen the line by its sign and
// shift x and y out of the columns the data-file reader takes them from.
TEST_P(ExtremeReadings, KeepTheRecordLayout)
{
    const std::string line = files::RecordLine(GetParam().reading);
    ASSERT_EQ(line.size(), 119u) << line;
    EXPECT_TRUE(files::IsRecordItem(line));
    for (std::size_t gap : {63u, 64u, 65u, 66u, 74u, 75u, 76u, 77u})
        EXPECT_EQ(line[gap], ' ') << line;
}

constexpr double huge = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(Found, ExtremeReadings,
                         ::testing::Values(LineRow{"TcpHugeNegative", {.Tcp = -1.4e273}},
                                           LineRow{"XHugeNegative", {.X = -huge}},
                                           LineRow{"EvHugeNegative", {.Ev = -huge}},
                                           LineRow{"xHugeNegative", {.x = -huge}},
                                           LineRow{"vHugeNegative", {.v = -huge}},
                                           LineRow{"duvHugeNegative", {.duv = -huge}},
                                           LineRow{"XJustBelowLimit", {.X = -999999.96}},
                                           LineRow{"TcpHuge", {.Tcp = huge}},
                                           LineRow{"xNaN", {.x = std::nan("")}},
                                           LineRow{"YInfinite", {.Y = -HUGE_VAL}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ExtremeReadings, NegativeXReadsBackFromItsColumns)
{
    EXPECT_EQ(files::RecordFieldX(files::RecordLine({.x = -5.1234})), "-5.1234");
}

} // namespace
