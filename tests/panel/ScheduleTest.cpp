#include "panel/Schedules.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using panel::ScheduleKind;
using panel::ScheduleTexts;

meterlink::Report answer(std::initializer_list<int> bytes)
{
    meterlink::Report report{};
    std::size_t i = 1;
    for (const int b : bytes)
        report[i++] = static_cast<std::uint8_t>(b);
    return report;
}

// ---------------------------------------------------------------------------------------------
// Filling the pictures from the meter's answers

struct FillRow
{
    const char* name;
    ScheduleKind kind;
    meterlink::Report answer;
    QStringList fields;
    bool enabled;
};

class ScheduleFill : public testing::TestWithParam<FillRow>
{
};

TEST_P(ScheduleFill, TextsFromTheAnswer)
{
    const auto& row = GetParam();
    const ScheduleTexts texts = panel::ScheduleFromAnswer(row.kind, row.answer);
    EXPECT_EQ(texts.fields, row.fields);
    EXPECT_EQ(texts.enabled, row.enabled);
}

INSTANTIATE_TEST_SUITE_P(Answers, ScheduleFill,
                         testing::Values(
                             // 3725 s = 62 min 5 s; flag 2 is not "enabled".
                             FillRow{"Reservation3725Flag2",
                                     ScheduleKind::Reservation,
                                     answer({26, 12, 6, 9, 5, 0, 126, 1, 31, 23, 59, 59, 3725 / 256,
                                             3725 % 256, 2}),
                                     {"26", "12", "06", "09", "05", "00", "26", "01", "31", "23",
                                      "59", "59", "62", "05"},
                                     false},
                             // 6125 s = 102 min 5 s: minutes keep their last two digits.
                             FillRow{"Cycling6125Flag1",
                                     ScheduleKind::Cycling,
                                     answer({8, 30, 0, 17, 0, 5, 6125 / 256, 6125 % 256, 1}),
                                     {"08", "30", "00", "17", "00", "05", "02", "05"},
                                     true},
                             FillRow{"CyclingFlag255IsDisabled",
                                     ScheduleKind::Cycling,
                                     answer({0, 0, 0, 0, 0, 0, 0, 90, 255}),
                                     {"00", "00", "00", "00", "00", "00", "01", "30"},
                                     false},
                             FillRow{"ReservationLargestInterval",
                                     ScheduleKind::Reservation,
                                     answer({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 1}),
                                     {"00", "00", "00", "00", "00", "00", "00", "00", "00", "00",
                                      "00", "00", "92", "15"},
                                     true}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---------------------------------------------------------------------------------------------
// Building the write commands

struct WriteRow
{
    const char* name;
    ScheduleKind kind;
    QStringList fields;
    bool enabled;
    std::vector<int> bytes; // from byte 2 (the sub-command) to the enable flag
};

class ScheduleWrite : public testing::TestWithParam<WriteRow>
{
};

TEST_P(ScheduleWrite, BytesOfTheCommand)
{
    const auto& row = GetParam();
    meterlink::Report report{};
    report.fill(0xEE); // bytes the command does not set keep what they held
    ASSERT_FALSE(panel::ScheduleCommand(row.kind, {row.fields, row.enabled}, report));
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(report[1], 6);
    for (std::size_t i = 0; i < row.bytes.size(); ++i)
        EXPECT_EQ(report[i + 2], row.bytes[i]) << "byte " << i + 2;
    for (std::size_t i = row.bytes.size() + 2; i < report.size(); ++i)
        EXPECT_EQ(report[i], 0xEE) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ScheduleWrite,
    testing::Values(WriteRow{"CyclingInterval0130",
                             ScheduleKind::Cycling,
                             {"08", "00", "00", "17", "30", "00", "01", "30"},
                             true,
                             {21, 8, 0, 0, 17, 30, 0, 0, 90, 1}},
                    WriteRow{"CyclingInterval5959",
                             ScheduleKind::Cycling,
                             {"00", "00", "00", "00", "00", "00", "59", "59"},
                             false,
                             {21, 0, 0, 0, 0, 0, 0, 14, 15, 0}},
                    WriteRow{"ReservationEveryByte",
                             ScheduleKind::Reservation,
                             {"26", "12", "06", "09", "05", "01", "27", "01", "31", "23", "59",
                              "58", "01", "30"},
                             true,
                             {22, 26, 12, 6, 9, 5, 1, 27, 1, 31, 23, 59, 58, 0, 90, 1}},
                    WriteRow{"ReservationInterval5959",
                             ScheduleKind::Reservation,
                             {"00", "01", "01", "00", "00", "00", "00", "01", "01", "00", "00",
                              "00", "59", "59"},
                             false,
                             {22, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 14, 15, 0}},
                    // Empty text and leading numbers are read leniently; a stop before the start, a
                    // 31st of February and a zero interval go out as entered.
                    WriteRow{"EmptyAndLenientTexts",
                             ScheduleKind::Cycling,
                             {"", " 7", "12abc", "x", "255", "0", "", ""},
                             false,
                             {21, 0, 7, 12, 0, 255, 0, 0, 0, 0}},
                    WriteRow{"NotComparedWithEachOther",
                             ScheduleKind::Reservation,
                             {"26", "02", "31", "23", "00", "00", "25", "01", "01", "00", "00",
                              "00", "00", "00"},
                             true,
                             {22, 26, 2, 31, 23, 0, 0, 25, 1, 1, 0, 0, 0, 0, 0, 1}},
                    WriteRow{"HalvesRoundToEven",
                             ScheduleKind::Cycling,
                             {"2.5", "3.5", "0", "0", "0", "0", "0", "0.5"},
                             false,
                             {21, 2, 4, 0, 0, 0, 0, 0, 0, 0}},
                    // 1092 min 15 s = 65535, the largest interval that fits.
                    WriteRow{"LargestInterval",
                             ScheduleKind::Cycling,
                             {"0", "0", "0", "0", "0", "0", "1092", "15"},
                             false,
                             {21, 0, 0, 0, 0, 0, 0, 255, 255, 0}}),
    [](const auto& p) { return std::string(p.param.name); });

struct RefusalRow
{
    const char* name;
    ScheduleKind kind;
    QStringList fields;
    QString messageStart;
};

class ScheduleRefusal : public testing::TestWithParam<RefusalRow>
{
};

TEST_P(ScheduleRefusal, FieldThatDoesNotFitIsRefusedAndNothingIsPut)
{
    const auto& row = GetParam();
    meterlink::Report report{};
    report.fill(0x5A);
    const auto before = report;
    const auto message = panel::ScheduleCommand(row.kind, {row.fields, true}, report);
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(message->startsWith(row.messageStart)) << message->toStdString();
    EXPECT_TRUE(message->contains(QStringLiteral("Nothing was sent to the meter.")));
    EXPECT_EQ(report, before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ScheduleRefusal,
    testing::Values(RefusalRow{"YearOf300",
                               ScheduleKind::Reservation,
                               {"300", "01", "01", "00", "00", "00", "00", "01", "01", "00", "00",
                                "00", "00", "00"},
                               "Start Year: \"300\" is out of range (0 to 255)."},
                    RefusalRow{"StopSecondOf256",
                               ScheduleKind::Reservation,
                               {"00", "01", "01", "00", "00", "00", "00", "01", "01", "00", "00",
                                "256", "00", "00"},
                               "Stop Second: \"256\" is out of range (0 to 255)."},
                    RefusalRow{"NegativeHour",
                               ScheduleKind::Cycling,
                               {"-1", "0", "0", "0", "0", "0", "0", "0"},
                               "Start Hour: \"-1\" is out of range (0 to 255)."},
                    RefusalRow{"HalfAboveTheByte",
                               ScheduleKind::Cycling,
                               {"0", "0", "0", "0", "255.6", "0", "0", "0"},
                               "Stop Minute: \"255.6\" is out of range (0 to 255)."},
                    RefusalRow{"IntervalAbove65535",
                               ScheduleKind::Cycling,
                               {"0", "0", "0", "0", "0", "0", "1092", "16"},
                               "Interval: 65536 seconds is out of range (0 to 65535 seconds)."},
                    RefusalRow{"NegativeInterval",
                               ScheduleKind::Reservation,
                               {"00", "01", "01", "00", "00", "00", "00", "01", "01", "00", "00",
                                "00", "0", "-5"},
                               "Interval: -5 seconds is out of range (0 to 65535 seconds)."},
                    RefusalRow{"HugeNumber",
                               ScheduleKind::Cycling,
                               {"1e300", "0", "0", "0", "0", "0", "0", "0"},
                               "Start Hour: \"1e300\" is out of range (0 to 255)."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ScheduleItems, ListsOfEveryField)
{
    const auto reservation = panel::ScheduleItems(ScheduleKind::Reservation);
    ASSERT_EQ(reservation.size(), 14u);
    const std::vector<std::pair<QString, QString>> ends = {
        {"00", "99"}, {"01", "12"}, {"01", "31"}, {"00", "23"}, {"00", "59"}, {"00", "59"}};
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(reservation[i].front(), ends[i % 6].first) << i;
        EXPECT_EQ(reservation[i].back(), ends[i % 6].second) << i;
    }
    EXPECT_EQ(reservation[12].size(), 60);
    const auto cycling = panel::ScheduleItems(ScheduleKind::Cycling);
    ASSERT_EQ(cycling.size(), 8u);
    EXPECT_EQ(cycling[3].back(), QStringLiteral("23"));
    EXPECT_EQ(cycling[7].back(), QStringLiteral("59"));
}

// ---------------------------------------------------------------------------------------------
// Sampling time answers

struct SamplingRow
{
    const char* name;
    QString answer;
    int maximum;
    std::optional<int> expected;
};

class SamplingAnswer : public testing::TestWithParam<SamplingRow>
{
};

TEST_P(SamplingAnswer, RoundedAndClamped)
{
    const auto& row = GetParam();
    EXPECT_EQ(panel::SamplingTimeFromAnswer(row.answer, row.maximum), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, SamplingAnswer,
                         testing::Values(SamplingRow{"ZeroGivesOne", "0", 86400, 1},
                                         SamplingRow{"AboveThePcLimit", "100000", 86400, 86400},
                                         SamplingRow{"HalfDown", "2.5", 86400, 2},
                                         SamplingRow{"HalfUp", "3.5", 86400, 4},
                                         SamplingRow{"AboveTheMeterLimit", "4000", 3600, 3600},
                                         SamplingRow{"Negative", "-7", 3600, 1},
                                         SamplingRow{"Exponent", "1e9", 3600, 3600},
                                         SamplingRow{"LeadingBlanksAndTrailingText", "  300 s",
                                                     3600, 300},
                                         SamplingRow{"FractionOnly", ".6", 3600, 1},
                                         SamplingRow{"Empty", "", 3600, std::nullopt},
                                         SamplingRow{"Letters", "abc", 86400, std::nullopt},
                                         SamplingRow{"SignAlone", "-", 86400, std::nullopt},
                                         SamplingRow{"PointAlone", " .", 86400, std::nullopt},
                                         SamplingRow{"BlanksOnly", "   ", 86400, std::nullopt}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SamplingPrompt, TextsOfTheInputBox)
{
    EXPECT_EQ(panel::SamplingTitle(), QStringLiteral("Input Sampling Time"));
    EXPECT_EQ(panel::SamplingPrompt(86400),
              QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) "));
    EXPECT_EQ(panel::SamplingPrompt(3600),
              QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 3600 ) "));
}

// ---------------------------------------------------------------------------------------------
// Key filter of the reservation fields

struct KeyRow
{
    const char* name;
    int key;
    QString text;
    bool accepted;
};

class ResKeyFilter : public testing::TestWithParam<KeyRow>
{
};

TEST_P(ResKeyFilter, OnlyDigitsType)
{
    const auto& row = GetParam();
    EXPECT_EQ(panel::ResKeyAccepted(row.key, row.text), row.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ResKeyFilter,
    testing::Values(KeyRow{"Zero", Qt::Key_0, "0", true}, KeyRow{"Nine", Qt::Key_9, "9", true},
                    KeyRow{"Letter", Qt::Key_A, "a", false},
                    KeyRow{"Minus", Qt::Key_Minus, "-", false},
                    KeyRow{"Point", Qt::Key_Period, ".", false},
                    KeyRow{"Space", Qt::Key_Space, " ", false},
                    KeyRow{"Backspace", Qt::Key_Backspace, "\b", false},
                    KeyRow{"Return", Qt::Key_Return, "\r", false},
                    KeyRow{"PasteControlCharacter", Qt::Key_V, QString(QChar(0x16)), false},
                    KeyRow{"ArabicIndicDigit", Qt::Key_unknown, QString(QChar(0x0663)), false},
                    KeyRow{"Left", Qt::Key_Left, "", true},
                    KeyRow{"Delete", Qt::Key_Delete, QString(QChar(0x7f)), true},
                    KeyRow{"Tab", Qt::Key_Tab, "\t", true}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
