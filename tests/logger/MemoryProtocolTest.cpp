#include "logger/MemoryProtocol.h"

#include <gtest/gtest.h>
#include <vector>

namespace logger {
namespace {

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
