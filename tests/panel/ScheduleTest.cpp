#include "panel/Schedules.h"
#include "tests/panel/SetupTestSupport.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using panel::ScheduleKind;
using testsupport::ReportWith;
constexpr auto Res = ScheduleKind::Reservation;
constexpr auto Cyc = ScheduleKind::Cycling;

// --- filling the pictures from the meter's answers ----------------------------------------------

struct FillRow
{
    const char* name;
    ScheduleKind kind;
    meterlink::Report answer;
    QStringList fields;
    bool enabled;
};

TEST(ScheduleFill, TextsFromTheAnswer)
{
    // clang-format off
    const FillRow rows[] = {
    // 3725 s = 62 min 5 s; flag 2 is not "enabled".
    FillRow{"Reservation3725Flag2", Res,
            ReportWith({26, 12, 6, 9, 5, 0, 126, 1, 31, 23, 59, 59, 3725 / 256, 3725 % 256, 2}),
            {"26", "12", "06", "09", "05", "00", "26", "01", "31", "23", "59", "59", "62", "05"},
            false},
    // 6125 s = 102 min 5 s: minutes keep their last two digits.
    FillRow{"Cycling6125Flag1", Cyc, ReportWith({8, 30, 0, 17, 0, 5, 6125 / 256, 6125 % 256, 1}),
            {"08", "30", "00", "17", "00", "05", "02", "05"}, true},
    FillRow{"LargestInterval", Cyc, ReportWith({0, 0, 0, 0, 0, 0, 255, 255, 255}),
            {"00", "00", "00", "00", "00", "00", "92", "15"}, false}};
    // clang-format on
    for (const FillRow& row : rows) {
        const auto texts = panel::ScheduleFromAnswer(row.kind, meterlink::Answer(row.answer));
        EXPECT_EQ(texts.fields, row.fields) << row.name;
        EXPECT_EQ(texts.fields.size(), panel::ScheduleFieldCount(row.kind)) << row.name;
        // A list for every field, the interval's minutes and seconds last.
        const std::vector<QStringList> items = panel::ScheduleItems(row.kind);
        ASSERT_EQ(items.size(), texts.fields.size()) << row.name;
        EXPECT_EQ(items.back().join(' '), items[items.size() - 2].join(' ')) << row.name;
        EXPECT_EQ(items.back().last(), QStringLiteral("59")) << row.name;
        EXPECT_EQ(texts.enabled, row.enabled) << row.name;
    }
}

// --- building the write commands ------------------------------------------------------------

struct WriteRow
{
    const char* name;
    ScheduleKind kind;
    QStringList fields;
    bool enabled;
    std::vector<int> bytes; // from byte 2 (the sub-command) to the enable flag
};

TEST(ScheduleWrite, BytesOfTheCommand)
{
    // clang-format off
    const WriteRow rows[] = {
    WriteRow{"Interval0130", Cyc, {"08", "00", "00", "17", "30", "00", "01", "30"}, true,
             {21, 8, 0, 0, 17, 30, 0, 0, 90, 1}},
    WriteRow{"Interval5959", Cyc, {"00", "00", "00", "00", "00", "00", "59", "59"}, false,
             {21, 0, 0, 0, 0, 0, 0, 14, 15, 0}},
    // A 31st of February and a stop before the start go out as entered.
    WriteRow{"ReservationEveryByte", Res,
             {"26", "02", "31", "09", "05", "01", "25", "01", "31", "23", "59", "58", "01", "30"},
             true, {22, 26, 2, 31, 9, 5, 1, 25, 1, 31, 23, 59, 58, 0, 90, 1}},
    // Empty text sends 0; leading numbers are read leniently.
    WriteRow{"EmptyAndLenientTexts", Cyc, {"", " 7", "12abc", "x", "59", "0", "", ""}, false,
             {21, 0, 7, 12, 0, 59, 0, 0, 0, 0}},
    WriteRow{"HalvesRoundToEven", Cyc, {"2.5", "3.5", "0", "0", "0", "0", "0", "0.5"}, false,
             {21, 2, 4, 0, 0, 0, 0, 0, 0, 0}},
    WriteRow{"LargestInterval", Cyc, {"0", "0", "0", "0", "0", "0", "1092", "15"}, false,
             {21, 0, 0, 0, 0, 0, 0, 255, 255, 0}}};
    // clang-format on
    for (const WriteRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto command = panel::ScheduleCommand(row.kind, {row.fields, row.enabled});
        ASSERT_TRUE(std::holds_alternative<meterlink::Command>(command));
        const auto report = meterlink::OutputReport(std::get<meterlink::Command>(command));
        EXPECT_EQ(report[1], 6);
        for (std::size_t i = 0; i < row.bytes.size(); ++i)
            EXPECT_EQ(report[i + 2], row.bytes[i]) << "byte " << i + 2;
    }
}

} // namespace
