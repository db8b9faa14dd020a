// The meter's commands as they reach the wire, and the typed readers of its answers.
#include "link/Answer.h"
#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

namespace commands = meterlink::commands;
using Bytes = std::vector<std::uint8_t>;

struct WireRow
{
    const char* name;
    meterlink::Command command;
    Bytes start; // the report from byte 0; every later byte must be 0
};

// Sent one after the other, so that each row also shows that nothing of the longer command
// before it travels along.
TEST(CommandOnTheWire, CarriesItsBytesAndZerosElsewhere)
{
    const std::array<std::uint8_t, 12> reservation = {26, 12, 24, 7, 30, 0, 26, 12, 31, 22, 15, 59};
    const std::array<std::uint8_t, 6> cycling = {8, 0, 0, 17, 30, 0};
    const commands::StartDigits digits = {'2', '0', '2', '6', '1', '2', '0',
                                          '5', '1', '6', '3', '9', '0', '5'};
    Bytes digitBytes(digits.begin(), digits.end());
    const auto with = [](Bytes head, const Bytes& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const std::vector<WireRow> rows = {
        {"SetSize", commands::SetSize(digits), with({0, 6, 34}, digitBytes)},
        {"Poll", commands::Poll(), {0, 1}},
        {"SetData", commands::SetData(digits), with({0, 6, 30}, digitBytes)},
        {"PowerOffKey", commands::Key(meterlink::meter::key::PowerOff), {0, 6, 11}},
        {"Reservation",
         commands::WriteReservation(reservation, 3599, true),
         {0, 6, 22, 26, 12, 24, 7, 30, 0, 26, 12, 31, 22, 15, 59, 14, 15, 1}},
        {"Cycling",
         commands::WriteCycling(cycling, 90, false),
         {0, 6, 21, 8, 0, 0, 17, 30, 0, 0, 90, 0}},
        {"SamplingTime", commands::WriteSamplingTime(300), {0, 6, 20, 1, 44}},
        {"SetClock", commands::SetClock({26, 12, 5, 16, 39, 5}), {0, 6, 19, 26, 12, 5, 16, 39, 5}},
        {"UnitOption",
         commands::UnitOption({0x20, 0x26, 0x12, 0x05, 0x16, 0x39, 0x05}),
         {0, 1, 17, 32, 38, 18, 5, 22, 57, 5}},
        {"Erase", commands::EraseMemory(), {0, 6, 32}},
        {"Continue", commands::ContinueRecording(), {0, 6, 35}},
    };
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link(meter);
    link.drain(); // finds the meter
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        meter.clearWrites();
        link.request(row.command, 0);
        ASSERT_EQ(meter.writes().size(), 1u);
        Bytes expected = row.start;
        expected.resize(65, 0);
        EXPECT_EQ(meter.writes().front(), expected);
        link.drain();
    }
}

// Data bytes 1..64 hold 1..64, except bytes 1-2 (0xFF 0xFB), 3-4 (0x80 0x05) and 9-10 (0x7F 0xFF,
// the largest positive value of either signed form).
TEST(AnswerReaders, ReadBigEndianAndZeroPastTheEnds)
{
    meterlink::Report report{};
    report[0] = 0xAA; // the report ID is not data
    for (std::size_t i = 1; i <= 64; ++i)
        report[i] = static_cast<std::uint8_t>(i);
    report[1] = 0xFF;
    report[2] = 0xFB;
    report[3] = 0x80;
    report[4] = 0x05;
    report[9] = 0x7F;
    report[10] = 0xFF;
    const meterlink::Answer a(report);
    const std::vector<std::tuple<const char*, long long, long long>> rows = {
        {"first byte", a.byte(1), 0xFF},
        {"last byte", a.byte(64), 64},
        {"byte 0", a.byte(0), 0},
        {"byte 65", a.byte(65), 0},
        {"negative", a.byte(-7), 0},
        {"u16", a.u16(5), 0x0506},
        {"u16 cut at the end", a.u16(64), 0x4000},
        {"u32", a.u32(5), 0x05060708},
        {"u40", static_cast<long long>(a.u40(60)), 0x3C3D3E3F40},
        {"u40 cut at the end", static_cast<long long>(a.u40(62)), 0x3E3F400000},
        {"s16 negative", a.s16(1), -5},
        {"sm16 of the same bytes", a.sm16(1), -32763},
        {"sm16 negative", a.sm16(3), -5},
        {"s16 of the same bytes", a.s16(3), -32763},
        {"s16 largest positive", a.s16(9), 32767},
        {"sm16 largest positive", a.sm16(9), 32767},
        {"bytes inside", static_cast<long long>(a.bytes(5, 3).size()), 3},
        {"bytes cut at the end", static_cast<long long>(a.bytes(63, 5).size()), 2},
        {"bytes past the end", static_cast<long long>(a.bytes(65, 1).size()), 0},
        {"bytes from 0", a.bytes(0, 2).front(), 0xFF},
        {"negative count", static_cast<long long>(a.bytes(5, -1).size()), 0},
    };
    for (const auto& [name, read, expected] : rows)
        EXPECT_EQ(read, expected) << name;
}

} // namespace
