#include "plot/RegionFile.h"

#include <QBuffer>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace plot {
namespace {

RegionRow row(std::array<const char*, 8> texts, bool checked = true)
{
    RegionRow r;
    r.checked = checked;
    for (std::size_t i = 0; i < 8; ++i)
        r.texts[i] = QString::fromLatin1(texts[i]);
    return r;
}

const RegionRow Square = row({"0.30", "0.35", "0.35", "0.30", "0.30", "0.30", "0.35", "0.35"});
const RegionRow Other = row({"1", "2", "3", "4", "5", "6", "7", "8"});

TEST(RegionFileText, RoundTripKeepsEmptyFields)
{
    RegionRows rows;
    rows[0] = row({"0.3127", "0.3290", "", "", "", "", "", ""});
    rows[2] = row({"", "0.2", "", "0.4", "", "", "", "0.9"}); // first field empty too
    rows[4] = row({"", "", "", "", "", "", "", ""});
    RegionRows expected;
    expected[0] = rows[0];
    expected[1] = rows[2];
    expected[2] = rows[4];
    EXPECT_EQ(ReadRegionText(RegionFileText(rows)), expected);
}

TEST(RegionFileRead, FillsRowsFromTheTop)
{
    const QByteArray square = "0.30\t0.35\t0.35\t0.30\t0.30\t0.30\t0.35\t0.35\t\r\n";
    const QByteArray other = "1\t2\t3\t4\t5\t6\t7\t8\t\r\n";
    const QByteArray seven = "1\t2\t3\t4\t5\t6\t7\t\r\n";
    const RegionRow none = row({"", "", "", "", "", "", "", ""});
    struct Row
    {
        const char* name;
        QByteArray file;
        std::vector<RegionRow> expected; // rows from 0; the rest empty and unchecked
    };
    const std::vector<Row> rows = {
        {"empty", "", {}},
        {"two lines", square + other, {Square, Other}},
        {"six lines",
         other + other + square + other + other + square,
         {Other, Other, Square, Other, Other}},
        {"seven tabs stop the load",
         other + seven + square + seven,
         {Other, row({"1", "2", "3", "4", "5", "6", "7", ""})}},
        {"empty line is a row without fields", square + "\r\n" + other, {Square, none}},
        {"text after the eighth tab is ignored", "1\t2\t3\t4\t5\t6\t7\t8\tnote\t\r\n", {Other}},
        {"blanks before a line skipped, inside a field kept",
         "   1\t 2\t3\t4\t5\t6\t7\t8\t\r\n",
         {row({"1", " 2", "3", "4", "5", "6", "7", "8"})}},
        {"a comma splits the line into two items",
         "0,3\t2\t3\t4\t5\t6\t7\t8\t\r\n" + other,
         {none}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RegionRows expected;
        std::copy(r.expected.begin(), r.expected.end(), expected.begin());
        QByteArray file = r.file;
        QBuffer buffer(&file);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const RegionRows read = ReadRegionFile(buffer);
        for (std::size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].checked, expected[i].checked) << "row " << i;
            EXPECT_EQ(QStringList(read[i].texts.begin(), read[i].texts.end()),
                      QStringList(expected[i].texts.begin(), expected[i].texts.end()))
                << "row " << i;
        }
    }
}

TEST(UnsafeRegionRow, FindsFieldsTheFileCannotKeep)
{
    struct Row
    {
        const char* text;
        bool checked;
        std::optional<int> unsafe;
    };
    for (const Row& r : std::vector<Row>{{"0.3127", true, std::nullopt},
                                         {"", true, std::nullopt},
                                         {"0,3127", true, 2},
                                         {"0,3127", false, std::nullopt},
                                         {"\"0.3\"", true, 2},
                                         {"0.3\t0.4", true, 2}}) {
        RegionRows rows;
        rows[0] = Square;
        rows[2] = Other;
        rows[2].checked = r.checked;
        rows[2].texts[5] = QString::fromLatin1(r.text);
        EXPECT_EQ(UnsafeRegionRow(rows), r.unsafe) << r.text;
    }
}

} // namespace
} // namespace plot
