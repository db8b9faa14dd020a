// The meter's keys acting on its own state, seen in the frame the next poll returns.
#include "link/MeterCommands.h"
#include "virtualmeter/MeterModel.h"

#include <gtest/gtest.h>
#include <queue>
#include <set>

namespace {

namespace key = meterlink::meter::key;
using virtualmeter::MeterModel;
using virtualmeter::Report;

const auto Now = std::chrono::system_clock::time_point{std::chrono::seconds{1796000000}};

Report keyReport(std::uint8_t code)
{
    Report r{};
    r[1] = meterlink::meter::Command;
    r[2] = code;
    return r;
}

Report pollReport()
{
    Report r{};
    r[1] = meterlink::meter::Poll;
    return r;
}

struct ModeRow
{
    int from;
    std::uint8_t key;
    int to;
};

class ModeKeys : public testing::TestWithParam<ModeRow>
{
};

TEST_P(ModeKeys, MoveTheDisplayMode)
{
    MeterModel meter;
    meter.setMode(GetParam().from);
    const auto answer = meter.answer(keyReport(GetParam().key), Now);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(meter.mode(), GetParam().to);
    EXPECT_EQ(meter.frame(Now)[89], GetParam().to); // frame byte 90
}

INSTANTIATE_TEST_SUITE_P(VirtualMeter, ModeKeys,
                         testing::Values(ModeRow{0, key::Mode, 12}, ModeRow{8, key::Mode, 12},
                                         ModeRow{13, key::Mode, 15}, ModeRow{17, key::Mode, 0},
                                         ModeRow{2, key::Delta, 8}, ModeRow{11, key::Delta, 5},
                                         ModeRow{12, key::Delta, 6}, ModeRow{13, key::Delta, 7},
                                         ModeRow{14, key::Delta, 11}, ModeRow{15, key::Delta, 16},
                                         ModeRow{16, key::Delta, 15}, ModeRow{17, key::Delta, 16},
                                         ModeRow{4, key::Tcp, 15}, ModeRow{15, key::Tcp, 16},
                                         ModeRow{17, key::Tcp, 15}, ModeRow{5, key::Up, 0},
                                         ModeRow{0, key::Down, 5}, ModeRow{11, key::Up, 6},
                                         ModeRow{6, key::Down, 11}, ModeRow{14, key::Up, 12},
                                         ModeRow{12, key::Down, 14}, ModeRow{17, key::Up, 15},
                                         ModeRow{15, key::Down, 17}, ModeRow{3, key::Time, 3},
                                         ModeRow{3, key::CF, 3}));

TEST(VirtualMeterKeys, EveryDisplayModeCanBeReachedFromModeZero)
{
    std::set<int> seen{0};
    std::queue<int> todo;
    todo.push(0);
    while (!todo.empty()) {
        const int mode = todo.front();
        todo.pop();
        for (std::uint8_t k : {key::Mode, key::Delta, key::Tcp, key::Up, key::Down}) {
            MeterModel meter;
            meter.setMode(mode);
            meter.answer(keyReport(k), Now);
            if (seen.insert(meter.mode()).second)
                todo.push(meter.mode());
        }
    }
    EXPECT_EQ(seen.size(), 18u);
}

struct RepeatRow
{
    const char* name;
    std::uint8_t key;
    std::size_t index; // frame byte - 1
    std::uint8_t mask;
    std::vector<int> afterEachPress;
};

class Repeats : public testing::TestWithParam<RepeatRow>
{
};

TEST_P(Repeats, StepThroughTheirStatesInTheFrame)
{
    MeterModel meter;
    std::vector<int> seen;
    for (std::size_t i = 0; i < GetParam().afterEachPress.size(); ++i) {
        meter.answer(keyReport(GetParam().key), Now);
        seen.push_back(meter.frame(Now)[GetParam().index] & GetParam().mask);
    }
    EXPECT_EQ(seen, GetParam().afterEachPress);
}

INSTANTIATE_TEST_SUITE_P(
    VirtualMeter, Repeats,
    testing::Values(RepeatRow{"TimeCyclesTheClockPage", key::Time, 87, 0xFF, {1, 2, 0, 1}},
                    RepeatRow{"CFTogglesItsFlag", key::CF, 92, 0x01, {1, 0}},
                    RepeatRow{"HoldShowsH", key::Hold, 92, 0x10, {0x10, 0}},
                    RepeatRow{"ReadSwitchesTheUnitInAbsoluteModes", key::Read, 91, 0xFF, {1, 0}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(VirtualMeterKeys, HoldFreezesTheReadings)
{
    MeterModel meter;
    meter.setLight(virtualmeter::Light{5000, 0, 400});
    meter.answer(keyReport(key::Hold), Now);
    meter.setLight(virtualmeter::Light{3000, 0.01, 900});
    EXPECT_EQ(meter.frame(Now)[13], 0x3D); // Ev 400 lx = 0x003D0900
    meter.answer(keyReport(key::Hold), Now);
    EXPECT_EQ(meter.frame(Now)[13], 0x89); // 900 lx = 0x00895440
}

TEST(VirtualMeterKeys, MemCountsUpToNinetyNineThenShowsFull)
{
    MeterModel meter;
    meter.answer(keyReport(key::Mem), Now);
    auto frame = meter.frame(Now);
    EXPECT_EQ(frame[88], 1);
    EXPECT_EQ(frame[94] & 0x03, 0x01); // "M", not full
    for (int i = 0; i < 120; ++i)
        meter.answer(keyReport(key::Mem), Now);
    frame = meter.frame(Now);
    EXPECT_EQ(frame[88], 99);
    EXPECT_EQ(frame[94] & 0x03, 0x03);
}

TEST(VirtualMeterKeys, ReadInADifferenceOrTemperatureModeTakesTheReference)
{
    MeterModel meter;
    meter.setLight(virtualmeter::Light{6200, 0.002, 321});
    meter.setMode(6);
    meter.answer(keyReport(key::Read), Now);
    const auto frame = meter.frame(Now);
    // Reference X, Y, Z equal the live ones; so do x, y, u', v', wavelength, Pe, Pc.
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(frame[static_cast<std::size_t>(44 + i)], frame[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(frame[static_cast<std::size_t>(56 + i)], frame[static_cast<std::size_t>(16 + i)]);
    EXPECT_EQ(frame[92], 0); // the unit stays lx

    // In a temperature mode it sets the temperature reference.
    meter.setLight(virtualmeter::Light{4321, -0.0012, 250});
    meter.setMode(17);
    meter.answer(keyReport(key::Read), Now);
    const auto after = meter.frame(Now);
    EXPECT_EQ(
        std::vector<std::uint8_t>(after.begin() + 70, after.begin() + 80),
        (std::vector<std::uint8_t>{0x00, 0x26, 0x25, 0xA0, 0x02, 0x93, 0x55, 0x10, 0xFF, 0xF4}));
}

TEST(VirtualMeterKeys, OffSilencesTheMeterUntilAnyKey)
{
    MeterModel meter;
    meter.answer(keyReport(key::Mem), Now);
    EXPECT_EQ(meter.answer(keyReport(key::PowerOff), Now).size(), 1u);
    EXPECT_FALSE(meter.poweredOn());
    EXPECT_TRUE(meter.answer(pollReport(), Now).empty());
    Report status{};
    status[1] = meterlink::meter::Command;
    status[2] = meterlink::meter::MemoryStatus;
    EXPECT_TRUE(meter.answer(status, Now).empty());
    // The waking key does nothing else.
    EXPECT_EQ(meter.answer(keyReport(key::Mem), Now).size(), 1u);
    EXPECT_TRUE(meter.poweredOn());
    EXPECT_EQ(meter.memoryCount(), 1);
    EXPECT_EQ(meter.answer(pollReport(), Now).size(), 2u);
}

struct SwitchRow
{
    const char* name;
    std::function<void(MeterModel&)> set;
    int frameByte;
    std::uint8_t mask;
    std::uint8_t value;
};

class Switches : public testing::TestWithParam<SwitchRow>
{
};

TEST_P(Switches, ShowInTheFrame)
{
    MeterModel meter;
    meter.setLight(virtualmeter::Light{5000, 0, 400});
    EXPECT_EQ(
        meter.frame(Now)[static_cast<std::size_t>(GetParam().frameByte - 1)] & GetParam().mask, 0);
    GetParam().set(meter);
    EXPECT_EQ(meter.frame(Now)[static_cast<std::size_t>(GetParam().frameByte - 1)] &
                  GetParam().mask,
              GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    VirtualMeter, Switches,
    testing::Values(SwitchRow{"RecordFlag", [](MeterModel& m) { m.setRecordFlag(true); }, 95, 0x40,
                              0x40},
                    SwitchRow{"MemoryRecording", [](MeterModel& m) { m.setMemoryRecording(true); },
                              95, 0x80, 0x80},
                    SwitchRow{"Overload",
                              [](MeterModel& m) {
                                  m.setLight(virtualmeter::Light{5000, 0, 250000});
                              },
                              93, 0x06, 0x06},
                    SwitchRow{"TcpOutOfRange",
                              [](MeterModel& m) {
                                  m.setLight(virtualmeter::Light{5000, 0.06, 400});
                              },
                              93, 0x08, 0x08}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
