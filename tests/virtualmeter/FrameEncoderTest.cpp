#include "virtualmeter/FrameEncoder.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using virtualmeter::FrameContent;

struct FieldRow
{
    const char* name;
    std::function<void(FrameContent&)> set;
    int firstByte; // frame byte number, 1..128
    std::vector<std::uint8_t> bytes;
};

TEST(VirtualMeterFrame, FieldsLandScaledAndBigEndianAtTheirPlace)
{
    using C = FrameContent;
    const std::vector<FieldRow> rows = {
        {"Ev", [](C& c) { c.live.Ev = 123.4567; }, 13, {0x00, 0x12, 0xD6, 0x87}},
        {"x", [](C& c) { c.live.x = 0.3451; }, 17, {0x0D, 0x7B}},
        {"nm in tenths", [](C& c) { c.live.wavelength = 583.4; }, 25, {0x16, 0xCA}},
        {"Pc sign and magnitude", [](C& c) { c.live.Pc = -0.0005; }, 29, {0x80, 0x05}},
        {"Tcp whole kelvin", [](C& c) { c.live.Tcp = 5000.4; }, 39, {0x00, 0x00, 0x13, 0x88}},
        {"duv two's complement", [](C& c) { c.live.duv = -0.0005; }, 43, {0xFF, 0xFB}},
        {"max and min",
         [](C& c) { c.evMax = 1, c.evMin = 0.5; },
         31,
         {0x00, 0x00, 0x27, 0x10, 0x00, 0x00, 0x13, 0x88}},
        {"reference Tcp",
         [](C& c) { c.temperatureReference.tcp = 5000; },
         75,
         {0x02, 0xFA, 0xF0, 0x80}},
        {"clock",
         [](C& c) { c.clock = {2026, 12, 5, 16, 39, 5}; },
         81,
         {0x07, 0xEA, 12, 5, 16, 39, 5}},
        {"status bytes",
         [](C& c) {
             c.clockPage = 2, c.memoryCount = 7, c.mode = 17, c.setup = 1, c.unit = 1;
             c.flagsA = 0x11, c.battery = 3, c.flagsB = 0x85, c.interval = 1;
         },
         88,
         {2, 7, 17, 1, 1, 0x11, 3, 0x85, 1, 0}},
        // values beyond a field are held at its limit
        {"x and y limits", [](C& c) { c.live.x = 7.0, c.live.y = -1.0; }, 17, {0xFF, 0xFF, 0, 0}},
        {"duv limit", [](C& c) { c.live.duv = -9.0; }, 43, {0x80, 0x00}}};
    for (const FieldRow& row : rows) {
        SCOPED_TRACE(row.name);
        FrameContent content;
        row.set(content);
        const auto frame = virtualmeter::encodeFrame(content);
        EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + row.firstByte - 1,
                                            frame.begin() + row.firstByte - 1 +
                                                static_cast<long>(row.bytes.size())),
                  row.bytes);
    }
}

TEST(VirtualMeterFrame, SplitsIntoTwoReportsWithIdZero)
{
    virtualmeter::Frame frame{};
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i + 1);
    const auto [first, second] = virtualmeter::splitFrame(frame);
    EXPECT_EQ((std::vector<int>{first[0], first[1], first[64], second[0], second[1], second[64]}),
              (std::vector<int>{0, 1, 64, 0, 65, 128}));
}

} // namespace
