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
    const std::vector<KeyRow> rows = {
        {"Time cycles the clock page", 0, key::Time, 88, 0xFF, {1, 2, 0, 1}},
        {"CF toggles its flag", 0, key::CF, 93, 0x01, {1, 0}},
        {"Hold shows H", 0, key::Hold, 93, 0x10, {0x10, 0}},
        {"Read switches the unit in absolute modes", 0, key::Read, 92, 0xFF, {1, 0}},
        {"Mem counts and shows M", 0, key::Mem, 89, 0xFF, {1, 2}},
    };
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

} // namespace
