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

TEST(FormatReading, CutsToTheDisplayWidth)
{
    // clang-format off
    const Row rows[] = {
        // The meter's own examples.
        {1234.5678, 1, "1234"}, {123.456, 1, "123.4"}, {12.3456, 1, "12.3"}, {1.23456, 1, "1.2"},
        {12.3456, 3, "12.34"}, {123.456, 3, "123.4"}, {0.31234, 3, "0.3123"},
        {1.31234, 3, "1.312"}, {0.31, 3, "0.310"}, {5, 3, "5.000"}, {12, 1, "12.0"},
        {1234, 1, "1234"}, {4500, 0, "4500"}, {12345.6, 1, "12340"}, {10000, 1, "10000"},
        {-0.0123, 4, "-0.0123"}, {1.999, 2, "1.99"},
        // Every branch of the width rules, with its limits.
        // Above 9999: four digits and a zero, whatever the decimals.
        {9999, 1, "9999"}, {9999.5, 1, "99990"}, {10001, 0, "10000"}, {65535, 4, "65530"},
        {429496.7295, 1, "42940"},
        // Whole numbers.
        {7, 0, "7"}, {7, 1, "7.0"}, {123, 1, "123.0"}, {7, 2, "7.00"}, {12, 2, "12.00"},
        {123, 2, "123.0"}, {1234, 2, "1234"}, {12, 3, "12.00"}, {123, 3, "123.0"},
        {1234, 4, "1234"}, {0, 4, "0.000"}, {0, 1, "0.0"},
        // One digit before the point.
        {1.5, 0, "1"}, {1.5, 2, "1.50"}, {1.25, 2, "1.25"}, {0.5, 3, "0.500"}, {0.25, 3, "0.250"},
        {0.125, 3, "0.125"}, {0.0005, 4, "0.0005"}, {0.00051, 4, "0.0005"}, {9.87654, 4, "9.876"},
        // Two digits before the point.
        {12.5, 0, "12"}, {12.5, 2, "12.50"}, {12.75, 2, "12.75"}, {12.756, 2, "12.75"},
        // Three digits before the point.
        {123.9, 0, "123"}, {123.999, 1, "123.9"}, {123.45, 2, "123.4"},
        // Four digits: the point stands last or is cut off.
        {1234.9, 0, "1234"}, {1234.9, 3, "1234"},
        // Below 0.0001 the digits are those of the plain text, never of an exponent form.
        {0.00001, 4, "0.0000"}, {0.00001, 1, "0.0"}, {0.00001, 0, "0"}, {0.00000929, 2, "0.00"},
        {0.00000929, 3, "0,0000", ','}, {4.9e-324, 4, "0.0000"}, {0.000099999, 4, "0.0000"},
        {0.0001, 4, "0.0001"},
        {-0.00001, 3, "-0.0000"}, {-0.00001, 2, "-0.00"}, {-5, 3, "-5.000"},
        {-12.3456, 1, "-12.3"}, {-1.999, 2, "-1.99"}, {-12345, 1, "-12340"},
        {-0.0005, 4, "-0.0005"}, {-150, 0, "-150"}, {-0.00001, 4, "-0.0000"},
        // The user's separator, also in the padding of whole numbers.
        {123.456, 1, "123,4", ','}, {0.31234, 3, "0,3123", ','}, {0.31, 3, "0,310", ','},
        {-0.0123, 4, "-0,0123", ','}, {1.999, 2, "1,99", ','}, {12, 1, "12,0", ','},
        {5, 3, "5,000", ','}, {12345.6, 1, "12340", ','},
    };
    // clang-format on
    for (const Row& row : rows)
        EXPECT_EQ(
            panel::FormatReading(row.value, row.decimals, QLatin1Char(row.separator)).toStdString(),
            row.expected)
            << row.value << " with " << row.decimals << " decimals and '" << row.separator << "'";
}

} // namespace
