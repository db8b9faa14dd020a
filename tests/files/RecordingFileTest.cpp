#include "files/RecordingFile.h"

#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "files/SaveDialog.h"

#include <QBuffer>
#include <QTemporaryFile>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const QDateTime Start(QDate(2026, 12, 6), QTime(9, 5, 7));

// The interval field is three characters wide: longer intervals keep their last three digits.
TEST(RecordingFile, HeaderByteForByte)
{
    for (const auto& [interval, line] : std::vector<std::pair<long long, const char*>>{
             {1, "Interval :   1 Second     Unit : "},
             {999, "Interval : 999 Second     Unit : "},
             {3600, "Interval : 600 Second     Unit : "}}) {
        const std::string expected = std::string("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\n"
                                                 "Start Time : 26/12/06 09:05:07\r\n") +
                                     line +
                                     "\r\n"
                                     "       X       Y       Z     XYZ\r\n"
                                     "*********************************\r\n" +
                                     files::RecordColumnLine() + "\r\n";
        EXPECT_EQ(files::RecordingStartText(Start, interval, {}).toStdString(), expected);
    }
}

TEST(RecordingFile, StartTimeInTwoDigitFieldsWithTheSeparatorsGiven)
{
    const ui::DateTimeSeparators slash{};
    const std::vector<std::tuple<QDateTime, ui::DateTimeSeparators, const char*>> rows = {
        {QDateTime(QDate(2100, 10, 31), QTime(0, 0, 59)), slash, "00/10/31 00:00:59"},
        {Start, {QLatin1Char('.'), QLatin1Char('.')}, "26.12.06 09.05.07"},
        {Start, {QLatin1Char('-'), QLatin1Char(':')}, "26-12-06 09:05:07"}};
    for (const auto& [time, separators, text] : rows)
        EXPECT_EQ(files::StartTimeText(time, separators).toStdString(), text);
}

TEST(RecordingFile, StopInsertsTheTotalAsThirdLine)
{
    // Lines past the blocks the copy reads at a time come through whole and in order.
    std::string longRecording = "a\r\nb\r\n";
    for (int i = 0; i < 60000; ++i)
        longRecording +=
            "2026/12/06  09:05:08 " + std::to_string(i) + std::string(40, 'v') + "\r\n";
    const std::tuple<std::string, long long, std::string> rows[] = {
        {"T\r\nS\r\nInterval\r\nX\r\n***\r\n", 0,
         "T\r\nS\r\nTotal Records : 0\r\nInterval\r\nX\r\n***\r\n"},
        {"a\r\nb\r\nc\r\n2026/12/06  09:05:08 1\r\n", 12345,
         "a\r\nb\r\nTotal Records : 12345\r\nc\r\n2026/12/06  09:05:08 1\r\n"},
        {"a\r\n", 0, "a\r\n"}, // one item gets no total
        {"a\r\nb", 2, "a\r\nb\r\nTotal Records : 2\r\n"},
        {longRecording, 7, "a\r\nb\r\nTotal Records : 7\r\n" + longRecording.substr(6)}};
    for (const auto& [recording, total, target] : rows) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(recording.data(), static_cast<qint64>(recording.size()));
        file.seek(0);
        QBuffer copy;
        copy.open(QIODevice::WriteOnly);
        QString error;
        EXPECT_TRUE(files::CopyWithTotal(file, copy, total, error));
        EXPECT_EQ(copy.data().toStdString(), target) << recording.substr(0, 30);
    }
}

// Readings the fuzzers found: a negative value at the bottom of its field's range used to widen
// the line by its sign and shift x and y out of the columns the data-file reader takes them from.
TEST(RecordLine, ExtremeReadingsKeepTheLayout)
{
    constexpr double Huge = std::numeric_limits<double>::max();
    const std::pair<const char*, files::Reading> rows[] = {{"Tcp -1.4e273", {.Tcp = -1.4e273}},
                                                           {"X -max", {.X = -Huge}},
                                                           {"Ev -max", {.Ev = -Huge}},
                                                           {"x -max", {.x = -Huge}},
                                                           {"v -max", {.v = -Huge}},
                                                           {"duv -max", {.duv = -Huge}},
                                                           {"X -999999.96", {.X = -999999.96}},
                                                           {"Tcp max", {.Tcp = Huge}},
                                                           {"x NaN", {.x = std::nan("")}},
                                                           {"Y -inf", {.Y = -HUGE_VAL}}};
    for (const auto& [name, reading] : rows) {
        SCOPED_TRACE(name);
        const std::string line = files::RecordLine(reading);
        ASSERT_EQ(line.size(), 119u) << line;
        EXPECT_TRUE(files::IsRecordItem(line));
        for (std::size_t gap : {63u, 64u, 65u, 66u, 74u, 75u, 76u, 77u})
            EXPECT_EQ(line[gap], ' ') << line;
    }
    EXPECT_EQ(files::RecordFieldX(files::RecordLine({.x = -5.1234})), "-5.1234");
}

} // namespace

namespace {

// A recording named without an extension gets ".txt"; a name with one keeps it.
TEST(RecordingDialog, AddsTxtToANameWithoutExtension)
{
    const std::pair<const char*, const char*> rows[] = {
        {"/home/u/run", "/home/u/run.txt"},     {"/home/u/run.txt", "/home/u/run.txt"},
        {"/home/u/run.csv", "/home/u/run.csv"}, {"/home/u/v1.2/run", "/home/u/v1.2/run.txt"},
        {"/home/u/.run", "/home/u/.run.txt"},   {"/home/u/run.", "/home/u/run."},
    };
    for (const auto& [typed, saved] : rows)
        EXPECT_EQ(files::WithDefaultSuffix(QLatin1String(typed), QStringLiteral("txt")),
                  QLatin1String(saved));
}

} // namespace
