// The meter's keys acting on its own state, seen in the frame the next poll returns.
#include "link/MeterCommands.h"
#include "virtualmeter/MeterModel.h"

#include <functional>
#include <gtest/gtest.h>
#include <queue>
#include <set>
#include <tuple>

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

struct KeyRow
{
    const char* name;
    int fromMode;
    std::uint8_t key;
    std::size_t frameByte;
    int mask;
    std::vector<int> afterEachPress;
};

TEST(VirtualMeterKeys, ChangeTheFrameAsTheMeterDoes)
{
    std::vector<KeyRow> rows = {
        {"Time cycles the clock page", 0, key::Time, 88, 0xFF, {1, 2, 0, 1}},
        {"CF toggles its flag", 0, key::CF, 93, 0x01, {1, 0}},
        {"Hold shows H", 0, key::Hold, 93, 0x10, {0x10, 0}},
        {"Read switches the unit in absolute modes", 0, key::Read, 92, 0xFF, {1, 0}},
        {"Mem counts and shows M", 0, key::Mem, 89, 0xFF, {1, 2}},
    };
    // The display mode (frame byte 90) each key moves to from a given mode.
    const std::vector<std::tuple<int, std::uint8_t, int>> modes = {
        {0, key::Mode, 12},   {8, key::Mode, 12},   {13, key::Mode, 15},  {17, key::Mode, 0},
        {2, key::Delta, 8},   {11, key::Delta, 5},  {12, key::Delta, 6},  {13, key::Delta, 7},
        {14, key::Delta, 11}, {15, key::Delta, 16}, {16, key::Delta, 15}, {17, key::Delta, 16},
        {4, key::Tcp, 15},    {15, key::Tcp, 16},   {17, key::Tcp, 15},   {5, key::Up, 0},
        {0, key::Down, 5},    {11, key::Up, 6},     {6, key::Down, 11},   {14, key::Up, 12},
        {12, key::Down, 14},  {17, key::Up, 15},    {15, key::Down, 17},  {3, key::Time, 3},
        {3, key::CF, 3}};
    for (const auto& [from, k, to] : modes)
        rows.push_back({"mode", from, k, 90, 0xFF, {to}});
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.name << " from mode " << row.fromMode << " key " << int{row.key});
        MeterModel meter;
        meter.setMode(row.fromMode);
        std::vector<int> seen;
        for (std::size_t i = 0; i < row.afterEachPress.size(); ++i) {
            EXPECT_EQ(meter.answer(keyReport(row.key), Now).size(), 1u);
            seen.push_back(meter.frame(Now)[row.frameByte - 1] & row.mask);
        }
        EXPECT_EQ(seen, row.afterEachPress);
    }
}

TEST(VirtualMeterKeys, EveryDisplayModeCanBeReachedFromModeZero)
{
    std::set<int> seen{0};
    std::queue<int> todo;
    todo.push(0);
    for (; !todo.empty(); todo.pop()) {
        for (std::uint8_t k : {key::Mode, key::Delta, key::Tcp, key::Up, key::Down}) {
            MeterModel meter;
            meter.setMode(todo.front());
            meter.answer(keyReport(k), Now);
            if (seen.insert(meter.mode()).second)
                todo.push(meter.mode());
        }
    }
    EXPECT_EQ(seen.size(), 18u);
}

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
    EXPECT_EQ(meter.frame(Now)[94] & 0x03, 0x01); // "M", not full
    for (int i = 0; i < 120; ++i)
        meter.answer(keyReport(key::Mem), Now);
    EXPECT_EQ(meter.frame(Now)[88], 99);
    EXPECT_EQ(meter.frame(Now)[94] & 0x03, 0x03);
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

TEST(VirtualMeterKeys, RecordingAndLightStatesShowInTheFrame)
{
    struct Row
    {
        const char* name;
        std::function<void(MeterModel&)> set;
        std::size_t frameByte;
        int mask;
    };
    const std::vector<Row> rows = {
        {"record flag", [](MeterModel& m) { m.setRecordFlag(true); }, 95, 0x40},
        {"memory recording", [](MeterModel& m) { m.setMemoryRecording(true); }, 95, 0x80},
        {"overload",
         [](MeterModel& m) {
             m.setLight(virtualmeter::Light{5000, 0, 250000});
         },
         93, 0x06},
        {"Tcp out of range",
         [](MeterModel& m) {
             m.setLight(virtualmeter::Light{5000, 0.06, 400});
         },
         93, 0x08}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MeterModel meter;
        meter.setLight(virtualmeter::Light{5000, 0, 400});
        EXPECT_EQ(meter.frame(Now)[row.frameByte - 1] & row.mask, 0);
        row.set(meter);
        EXPECT_EQ(meter.frame(Now)[row.frameByte - 1] & row.mask, row.mask);
    }
}

} // namespace
