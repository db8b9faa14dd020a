#include "files/RecordingFile.h"

#include "files/RecordLine.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

const QDateTime Start(QDate(2026, 12, 6), QTime(9, 5, 7));

struct HeaderRow
{
    long long interval;
    const char* intervalLine;
};

class RecordingHeader : public testing::TestWithParam<HeaderRow>
{
};

TEST_P(RecordingHeader, FiveLinesByteForByte)
{
    const std::string expected = std::string("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\n"
                                             "Start Time : 26/12/06 09:05:07\r\n") +
                                 GetParam().intervalLine +
                                 "\r\n"
                                 "       X       Y       Z     XYZ\r\n"
                                 "*********************************\r\n" +
                                 files::RecordColumnLine() + "\r\n";
    EXPECT_EQ(files::RecordingStartText(Start, GetParam().interval, {}).toStdString(), expected);
}

INSTANTIATE_TEST_SUITE_P(Intervals, RecordingHeader,
                         testing::Values(HeaderRow{1, "Interval :   1 Second     Unit : "},
                                         HeaderRow{86, "Interval :  86 Second     Unit : "},
                                         HeaderRow{999, "Interval : 999 Second     Unit : "},
                                         HeaderRow{3600, "Interval : 600 Second     Unit : "},
                                         HeaderRow{86400, "Interval : 400 Second     Unit : "}));

TEST(RecordingFile, StartTimeInTwoDigitFieldsWithTheSeparatorsGiven)
{
    const ui::DateTimeSeparators slash{};
    const std::vector<std::tuple<QDateTime, ui::DateTimeSeparators, const char*>> rows = {
        {QDateTime(QDate(2009, 1, 2), QTime(23, 59, 0)), slash, "09/01/02 23:59:00"},
        {QDateTime(QDate(2100, 10, 31), QTime(0, 0, 59)), slash, "00/10/31 00:00:59"},
        {Start, {QLatin1Char('.'), QLatin1Char('.')}, "26.12.06 09.05.07"},
        {Start, {QLatin1Char('-'), QLatin1Char(':')}, "26-12-06 09:05:07"}};
    for (const auto& [time, separators, text] : rows)
        EXPECT_EQ(files::StartTimeText(time, separators).toStdString(), text);
}

struct CopyRow
{
    const char* name;
    std::string recording;
    long long total;
    std::string target;
};

class CopyAtStop : public testing::TestWithParam<CopyRow>
{
};

TEST_P(CopyAtStop, InsertsTotalAsThirdLine)
{
    const CopyRow& row = GetParam();
    EXPECT_EQ(
        files::CopyWithTotal(QByteArray::fromStdString(row.recording), row.total).toStdString(),
        row.target);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CopyAtStop,
    testing::Values(
        CopyRow{"HeaderOnly",
                "T\r\nStart Time : 26/12/06 09:05:07\r\nInterval :   1 Second     Unit : \r\n"
                "       X       Y       Z     XYZ\r\n***\r\n",
                0,
                "T\r\nStart Time : 26/12/06 09:05:07\r\nTotal Records : 0\r\n"
                "Interval :   1 Second     Unit : \r\nX       Y       Z     XYZ\r\n***\r\n"},
        CopyRow{"RecordsFollow", "a\r\nb\r\nc\r\n2026/12/06  09:05:08 1\r\n", 12345,
                "a\r\nb\r\nTotal Records : 12345\r\nc\r\n2026/12/06  09:05:08 1\r\n"},
        CopyRow{"OneItemGetsNoTotal", "a\r\n", 0, "a\r\n"},
        CopyRow{"MissingLastLineEnd", "a\r\nb", 2, "a\r\nb\r\nTotal Records : 2\r\n"}),
    [](const testing::TestParamInfo<CopyRow>& row) { return row.param.name; });

} // namespace
