#include "files/DataFileReader.h"

#include "files/RecordFields.h"
#include "files/RecordLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

using files::ReadOutcome;

std::string recordLine(int second, double x, double y)
{
    files::Reading r;
    r.year = 2026;
    r.month = 12;
    r.day = 6;
    r.hour = 10;
    r.minute = 30;
    r.second = second;
    r.Ev = 512.5;
    r.x = x;
    r.y = y;
    return files::RecordLine(r);
}

const std::string Header = "Title\r\nStart Time : 26/12/06 10:30:00\r\nTotal Records : 3\r\n"
                           "Interval :   1 Second     Unit : \r\n"
                           "       X       Y       Z     XYZ\r\n";
const std::string Stars = std::string(33, '*') + "\r\n";

struct ReaderRow
{
    const char* name;
    std::string text;
    ReadOutcome outcome;
    int count;                  // records after an Ok
    std::vector<std::string> x; // RecordX[1..], empty to skip
    std::vector<std::string> y;
};

const std::string R1 = recordLine(1, 0.3127, 0.329);
const std::string R2 = recordLine(2, 0.4476, 0.4074);
const std::string R3 = recordLine(3, 0.15, 0.06);

const std::string Five = "a\r\nb\r\nc\r\nd\r\ne\r\n";
using V = std::vector<std::string>;
const V X12 = {" 0.3127", " 0.4476"};

// clang-format off
const ReaderRow Files[] = {
    ReaderRow{"EmptySecondItemFails", "a\r\n\r\nc\r\nd\r\ne\r\n", ReadOutcome::HeaderTooShort, 0,
              {}, {}},
    ReaderRow{"FiveItemsNoRecord", Five, ReadOutcome::Ok, 0, {}, {}},
    ReaderRow{"EmptyThirdItemAllowed", "a\r\nb\r\n\r\nd\r\ne\r\n" + R1 + "\r\n", ReadOutcome::Ok, 1,
              {" 0.3127"}, {" 0.3290"}},
    ReaderRow{"FivePlusThreeRecords", Header + R1 + "\r\n" + R2 + "\r\n" + R3 + "\r\n",
              ReadOutcome::Ok, 3, {" 0.3127", " 0.4476", " 0.1500"},
              {" 0.3290", " 0.4074", " 0.0600"}},
    ReaderRow{"CommaBeforeYField", Header + R1 + "\r\n" + R2.substr(0, 76) + "," + R2.substr(76) +
              "\r\n" + R3 + "\r\n", ReadOutcome::Ok, 2, X12, {" 0.3290", ""}},
    ReaderRow{"ShortRecordTakesWhatIsThere", Header + R1.substr(0, 71) + "\r\n", ReadOutcome::Ok,
              1, {" 0.3"}, {""}},
    ReaderRow{"EmptyLineEndsRecords", Header + R1 + "\r\n\r\n" + R2 + "\r\n", ReadOutcome::Ok, 1,
              {" 0.3127"}, {}},
    ReaderRow{"TextLineEndsRecords", Header + R1 + "\r\nEnd\r\n" + R2 + "\r\n", ReadOutcome::Ok, 1,
              {" 0.3127"}, {}},
    // The layouts this program writes: a recording (asterisks and column line after the header)
    // and a set stored in the meter (column line, then asterisks).
    ReaderRow{"RecordingWithRecords", Header + Stars + files::RecordColumnLine() + "\r\n" + R1 +
              "\r\n" + R2 + "\r\n", ReadOutcome::Ok, 2, X12, {" 0.3290", " 0.4074"}},
    ReaderRow{"RecordingOfFiveHeaderLinesOnly", Header + Stars, ReadOutcome::Ok, 0, {}, {}},
    ReaderRow{"StoredSetLayout", "Title\r\nStart Time : 26/12/06 10:30:00\r\nTotal Records : 1\r\n"
              "Interval : 1\r\n" + files::RecordColumnLine() + "\r\n" + Stars + R3 + "\r\n",
              ReadOutcome::Ok, 1, {" 0.1500"}, {" 0.0600"}},
    ReaderRow{"TooManyLinesBeforeRecords", Header + Five + R1 + "\r\n", ReadOutcome::Ok, 0, {}, {}}};
// clang-format on

// Records that differ from every table a read would leave.
files::RecordTable previousRecords()
{
    files::RecordTable records;
    records.append("0.1", "0.3");
    records.append("0.2", "0.4");
    return records;
}

TEST(DataFileReading, ReadsRecordsOrLeavesThemUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.txt"));
    for (const ReaderRow& row : Files) {
        SCOPED_TRACE(row.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.text.data(), static_cast<qint64>(row.text.size()));
        file.close();
        files::RecordTable records = previousRecords();
        ASSERT_EQ(files::ReadDataFile(path, records).outcome, row.outcome);
        if (row.outcome != ReadOutcome::Ok) {
            EXPECT_EQ(records, previousRecords());
            continue;
        }
        ASSERT_EQ(records.count(), static_cast<std::size_t>(row.count));
        for (std::size_t i = 0; i < row.x.size(); ++i)
            EXPECT_EQ(records.x(i + 1), row.x[i]) << "record " << i + 1;
        for (std::size_t i = 0; i < row.y.size(); ++i)
            EXPECT_EQ(records.y(i + 1), row.y[i]) << "record " << i + 1;
    }
}

// Fields of every length, empty ones among them, over the edges of the table's blocks (4096
// records), in a table that grows step by step and one sized ahead; Ev on two records only, in
// the second block, the first of them asked for before the second comes.
TEST(RecordTable, KeepsEveryFieldAcrossBlockEdges)
{
    constexpr std::size_t Records = 2 * 4096 + 40;
    const std::string digits = "0.312745678";
    const auto xOf = [&](std::size_t n) { return std::string_view(digits).substr(0, n % 10); };
    const auto yOf = [&](std::size_t n) { return std::string_view(digits).substr(0, n * 7 % 9); };
    const auto hasEv = [](std::size_t n) { return n == 4100 || n == 4101; };
    files::RecordTable table;
    files::RecordTable sized;
    for (std::size_t n = 1; n <= Records; ++n) {
        const files::RecordTable::ExtraTexts extras{hasEv(n) ? "    512.5" : "", "", ""};
        table.append(xOf(n), yOf(n), extras);
        sized.append(xOf(n), yOf(n), extras);
        if (n == 100)
            sized.expectTimes(1.5);
        if (n == 4100) {
            ASSERT_EQ(table.extras(n).Ev, 512.5F);
        }
    }
    sized.shrinkToFit();
    ASSERT_EQ(table.count(), Records);
    EXPECT_EQ(table, sized);
    for (std::size_t n = 1; n <= Records; ++n) {
        ASSERT_EQ(table.x(n), xOf(n).substr(0, 7)) << "record " << n;
        ASSERT_EQ(table.y(n), yOf(n).substr(0, 7)) << "record " << n;
        ASSERT_EQ(table.extras(n).Ev == 512.5F, hasEv(n)) << "record " << n;
    }
}

// Ev, Tcp and delta-uv come out of the table as ParseRecordValue takes them from the lines,
// whatever stands in their places and wherever a line ends.
TEST(DataFileReader, ExtrasAsTheLinesHoldThem)
{
    const std::string full = recordLine(1, 0.3127, 0.329);
    const auto with = [&full](std::string ev, std::string tcp, std::string duv) {
        std::string line = full;
        line.replace(47, 9, ev.append(9, ' ').substr(0, 9));
        line.replace(56, 7, tcp.append(7, ' ').substr(0, 7));
        line.replace(111, 8, duv.append(8, ' ').substr(0, 8));
        return line;
    };
    const std::vector<std::string> lines = {
        full,
        with("  -512.5", "+6504", "-0.0032"),
        with("123456789", "  65 04", "0.00.32"),
        with("", "", ""),
        with(" .5", "6504.", "-"),
        with("5e3", "\t6504",
             "\xb5"
             "0.1"),
        with("  +-1", "--1", "+"),
        full.substr(0, 50),
        full.substr(0, 60),
        full.substr(0, 115),
        full.substr(0, 47),
    };
    std::string text = Header;
    for (const std::string& line : lines)
        text += line + "\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("extras.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();

    files::RecordTable records;
    ASSERT_EQ(files::ReadDataFile(path, records).outcome, ReadOutcome::Ok);
    ASSERT_EQ(records.count(), lines.size());
    const auto value = [](const std::string& line, files::RecordValue field) {
        const auto number = files::ParseRecordValue(line, field);
        return number ? static_cast<float>(number->value) : std::numeric_limits<float>::quiet_NaN();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const files::RecordExtras expected{value(lines[i], files::RecordValue::Ev),
                                           value(lines[i], files::RecordValue::Tcp),
                                           value(lines[i], files::RecordValue::duv)};
        const files::RecordExtras got = records.extras(i + 1);
        EXPECT_TRUE(got == expected)
            << "line " << i + 1 << ": " << got.Ev << " " << got.Tcp << " " << got.duv;
    }
}

// The shortest record lines there can be, after a first line longer than a read block: records
// without fields take no room of their own, so they keep less than a fiftieth of the file's
// bytes, and the progress is told up to 100 %.
TEST(DataFileReader, ShortestRecordsTakeAFiftiethOfTheFileInMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3 << 20, 'T') + "\n" + QByteArray::fromStdString(Header.substr(7)));
    constexpr int Records = 200000;
    const QByteArray shortest = "2026/12/06  10:30:\n";
    for (int i = 1; i < Records; ++i)
        file.write(shortest);
    file.write(QByteArray::fromStdString(R1));
    const auto size = static_cast<std::size_t>(file.size());
    file.close();

    files::RecordTable records;
    std::vector<int> percents;
    const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    ASSERT_EQ(files::ReadDataFile(path, records, [&](int p) { percents.push_back(p); }).outcome,
              ReadOutcome::Ok);
    const std::size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
    EXPECT_LE(after - std::min(after, before), (size - (3 << 20)) / 50);
    EXPECT_EQ(records.count(), std::size_t{Records});
    EXPECT_EQ(records.x(Records), " 0.3127");
    EXPECT_EQ(records.y(1), "");
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

} // namespace
