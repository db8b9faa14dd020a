#include "logger/MemoryProtocol.h"

#include <gtest/gtest.h>
#include <vector>

namespace logger {
namespace {

meterlink::Report ReportWith(std::vector<std::uint8_t> dataBytes)
{
    meterlink::Report r{};
    for (std::size_t i = 0; i < dataBytes.size(); ++i)
        r[1 + i] = dataBytes[i];
    return r;
}

TEST(MemoryStatus, DecodesFortyBitNumbersAndSetCount)
{
    const auto s = DecodeMemoryStatus(meterlink::Answer(
        ReportWith({0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x12, 0x34})));
    EXPECT_EQ(s.capacity, 0x0100080000ULL);
    EXPECT_EQ(s.free, 0x0000040001ULL);
    EXPECT_EQ(s.sets, 0x1234);
}

struct StatusRow
{
    std::uint64_t capacity;
    std::uint64_t free;
    int sets;
    bool empty;
    int percent;
};

class StatusTable : public ::testing::TestWithParam<StatusRow>
{
};

TEST_P(StatusTable, EmptinessAndGauge)
{
    const auto& row = GetParam();
    const MemoryStatus status{row.capacity, row.free, row.sets};
    EXPECT_EQ(MemoryEmpty(status), row.empty);
    EXPECT_EQ(UsedPercent(status), row.percent);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StatusTable,
    ::testing::Values(StatusRow{524288, 524288, 3, true, 0}, // all free although sets are named
                      StatusRow{524288, 262144, 0, true, 50},
                      StatusRow{524288, 262144, 4, false, 50}, StatusRow{524288, 0, 4, false, 100},
                      StatusRow{3, 2, 1, false, 33},
                      StatusRow{8, 3, 1, false, 62}, // 62.5 goes to the even neighbour
                      StatusRow{0, 5, 1, false, 0},  // no capacity: an empty gauge
                      StatusRow{0, 0, 0, true, 0},
                      StatusRow{100, 200, 1, false, 0})); // more free than capacity

TEST(Capacity, TextDividesByThousandTwentyFour)
{
    const std::vector<std::pair<std::uint64_t, QString>> rows = {
        {512 * 1024, QStringLiteral("Capacity : 512 MB")},
        {1023, QStringLiteral("Capacity : 0 MB")},
        {0, QStringLiteral("Capacity : 0 MB")},
        {1024, QStringLiteral("Capacity : 1 MB")},
        {0xFFFFFFFFFFULL, QStringLiteral("Capacity : 1073741823 MB")}};
    for (const auto& [capacity, text] : rows)
        EXPECT_EQ(CapacityText(capacity), text) << capacity;
}

TEST(ReportCounts, DirectoryAndData)
{
    const std::vector<std::pair<int, int>> directory = {{0, 0},  {1, 1},  {9, 1},       {10, 2},
                                                        {18, 2}, {19, 3}, {65535, 7282}};
    for (const auto& [sets, reports] : directory)
        EXPECT_EQ(DirectoryReports(sets), reports) << sets;
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> data = {
        {0, 0}, {1, 1}, {64, 1}, {65, 2}, {128, 2}, {512 * 1024, 8192}};
    for (const auto& [size, reports] : data)
        EXPECT_EQ(DataReports(size), reports) << size;
}

TEST(Directory, EntriesBecomeDigitsAndStartTimes)
{
    const std::uint8_t valid[] = {0x20, 0x26, 0x12, 0x05, 0x16, 0x39, 0x05};
    const std::uint8_t invalid[] = {0xAB, 0x0C, 0xFF, 0x00, 0x01, 0x9A, 0x10};
    EXPECT_EQ(EntryText(valid), QStringLiteral("20261205163905"));
    EXPECT_EQ(EntryText(invalid), QStringLiteral("AB0CFF00019A10"));
    EXPECT_EQ(StartTimeDisplay(QStringLiteral("20261205163905")),
              QStringLiteral("2026/12/05 16:39:05"));
    EXPECT_EQ(StartTimeDisplay(QString()), QStringLiteral("// ::"));

    QByteArray packed(reinterpret_cast<const char*>(valid), 7);
    packed.append(reinterpret_cast<const char*>(invalid), 7);
    packed.append("\x01\x02", 2); // a partial entry is not a set
    const auto times = DecodeDirectory(packed, 3);
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[1], QStringLiteral("AB0CFF00019A10"));
}

TEST(SetNumber, FromTheFirstColumn)
{
    const std::vector<std::pair<QString, int>> rows = {
        {QStringLiteral("Set"), 0},      {QString(), 0},
        {QStringLiteral("12"), 12},      {QStringLiteral(" 7"), 7},
        {QStringLiteral("-3"), 0},       {QStringLiteral("70000"), 0},
        {QStringLiteral("65535"), 65535}};
    for (const auto& [text, k] : rows)
        EXPECT_EQ(SetNumber(text), k) << text.toStdString();
}

struct SizeRequestRow
{
    QString digits;
    std::string sent;
};

TEST(Requests, SetSizeCarriesAsciiDigits)
{
    const std::vector<SizeRequestRow> rows = {
        {QStringLiteral("20261205163905"), "20261205163905"},
        {QString(), "00000000000000"}, // k = 0: nothing stored
        {QStringLiteral("AB0CFF00019A10"), "00000000019010"},
        {QStringLiteral("2026"), "20260000000000"}};
    for (const auto& row : rows) {
        const auto digits = RequestDigits(row.digits);
        EXPECT_EQ(std::string(digits.begin(), digits.end()), row.sent);
    }
}

TEST(Requests, UnitOptionCarriesTheEntryAgain)
{
    const std::vector<std::pair<QString, std::array<std::uint8_t, 7>>> rows = {
        {QStringLiteral("20261205163905"), {32, 38, 18, 5, 22, 57, 5}},
        {QStringLiteral("AB0CFF00019A10"), {0xAB, 0x0C, 0xFF, 0x00, 0x01, 0x9A, 0x10}},
        {QString(), {0, 0, 0, 0, 0, 0, 0}},
        {QStringLiteral("20G6"), {0x20, 0, 0, 0, 0, 0, 0}}};
    for (const auto& [digits, entry] : rows)
        EXPECT_EQ(EntryFromText(digits), entry) << digits.toStdString();
}

} // namespace
} // namespace logger
