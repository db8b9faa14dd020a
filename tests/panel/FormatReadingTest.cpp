#include "panel/FormatReading.h"

#include <gtest/gtest.h>

namespace {

struct Row
{
    double value;
    int decimals;
    const char* expected;
    char separator = '.';
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.value << " with " << row.decimals << " decimals and '" << row.separator << "'";
}

class FormatReadingRows : public ::testing::TestWithParam<Row>
{
};

TEST_P(FormatReadingRows, CutsToTheDisplayWidth)
{
    const Row& row = GetParam();
    EXPECT_EQ(
        panel::FormatReading(row.value, row.decimals, QLatin1Char(row.separator)).toStdString(),
        row.expected);
}

// The meter's own examples.
INSTANTIATE_TEST_SUITE_P(
    MeterExamples, FormatReadingRows,
    ::testing::Values(Row{1234.5678, 1, "1234"}, Row{123.456, 1, "123.4"}, Row{12.3456, 1, "12.3"},
                      Row{1.23456, 1, "1.2"}, Row{12.3456, 3, "12.34"}, Row{123.456, 3, "123.4"},
                      Row{0.31234, 3, "0.3123"}, Row{1.31234, 3, "1.312"}, Row{0.31, 3, "0.310"},
                      Row{5, 3, "5.000"}, Row{12, 1, "12.0"}, Row{1234, 1, "1234"},
                      Row{4500, 0, "4500"}, Row{12345.6, 1, "12340"}, Row{10000, 1, "10000"},
                      Row{-0.0123, 4, "-0.0123"}, Row{1.999, 2, "1.99"}));

// Every branch of the width rules, with its limits.
INSTANTIATE_TEST_SUITE_P(
    WidthRules, FormatReadingRows,
    ::testing::Values(
        // Above 9999: four digits and a zero, whatever the decimals.
        Row{9999, 1, "9999"}, Row{9999.5, 1, "99990"}, Row{10001, 0, "10000"},
        Row{65535, 4, "65530"}, Row{429496.7295, 1, "42940"},
        // Whole numbers.
        Row{7, 0, "7"}, Row{7, 1, "7.0"}, Row{123, 1, "123.0"}, Row{7, 2, "7.00"},
        Row{12, 2, "12.00"}, Row{123, 2, "123.0"}, Row{1234, 2, "1234"}, Row{12, 3, "12.00"},
        Row{123, 3, "123.0"}, Row{1234, 4, "1234"}, Row{0, 4, "0.000"}, Row{0, 1, "0.0"},
        // One digit before the point.
        Row{1.5, 0, "1"}, Row{1.5, 2, "1.50"}, Row{1.25, 2, "1.25"}, Row{0.5, 3, "0.500"},
        Row{0.25, 3, "0.250"}, Row{0.125, 3, "0.125"}, Row{0.0005, 4, "0.0005"},
        Row{0.00051, 4, "0.0005"}, Row{9.87654, 4, "9.876"},
        // Two digits before the point.
        Row{12.5, 0, "12"}, Row{12.5, 2, "12.50"}, Row{12.75, 2, "12.75"}, Row{12.756, 2, "12.75"},
        // Three digits before the point.
        Row{123.9, 0, "123"}, Row{123.999, 1, "123.9"}, Row{123.45, 2, "123.4"},
        // Four digits: the point stands last or is cut off.
        Row{1234.9, 0, "1234"}, Row{1234.9, 3, "1234"},
        // Below 0.0001 the digits are those of the plain text, never of an exponent form.
        Row{0.00001, 4, "0.0000"}, Row{0.00001, 1, "0.0"}, Row{0.00001, 0, "0"},
        Row{0.00000929, 2, "0.00"}, Row{0.00000929, 3, "0,0000", ','}, Row{4.9e-324, 4, "0.0000"},
        Row{0.000099999, 4, "0.0000"}, Row{-0.00001, 3, "-0.0000"}, Row{-0.00001, 2, "-0.00"}));

INSTANTIATE_TEST_SUITE_P(Negative, FormatReadingRows,
                         ::testing::Values(Row{-5, 3, "-5.000"}, Row{-12.3456, 1, "-12.3"},
                                           Row{-1.999, 2, "-1.99"}, Row{-12345, 1, "-12340"},
                                           Row{-0.0005, 4, "-0.0005"}, Row{-150, 0, "-150"},
                                           Row{-0.00001, 4, "-0.0000"}));

// The user's separator, also in the padding of whole numbers.
INSTANTIATE_TEST_SUITE_P(Comma, FormatReadingRows,
                         ::testing::Values(Row{123.456, 1, "123,4", ','},
                                           Row{0.31234, 3, "0,3123", ','},
                                           Row{0.31, 3, "0,310", ','},
                                           Row{-0.0123, 4, "-0,0123", ','},
                                           Row{1.999, 2, "1,99", ','}, Row{12, 1, "12,0", ','},
                                           Row{5, 3, "5,000", ','}, Row{12345.6, 1, "12340", ','}));

} // namespace
