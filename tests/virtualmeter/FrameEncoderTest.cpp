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

class FrameField : public testing::TestWithParam<FieldRow>
{
};

TEST_P(FrameField, LandsScaledAndBigEndianAtItsPlace)
{
    const auto& row = GetParam();
    FrameContent content;
    row.set(content);
    const auto frame = virtualmeter::encodeFrame(content);
    for (std::size_t i = 0; i < row.bytes.size(); ++i)
        EXPECT_EQ(frame[static_cast<std::size_t>(row.firstByte - 1) + i], row.bytes[i])
            << "frame byte " << row.firstByte + static_cast<int>(i);
}

INSTANTIATE_TEST_SUITE_P(
    VirtualMeter, FrameField,
    testing::Values(
        FieldRow{"Ev", [](FrameContent& c) { c.live.Ev = 123.4567; }, 13, {0x00, 0x12, 0xD6, 0x87}},
        FieldRow{"x", [](FrameContent& c) { c.live.x = 0.3451; }, 17, {0x0D, 0x7B}},
        FieldRow{"WavelengthInTenthsOfNm",
                 [](FrameContent& c) { c.live.wavelength = 583.4; },
                 25,
                 {0x16, 0xCA}},
        FieldRow{"NegativePcIsSignAndMagnitude",
                 [](FrameContent& c) { c.live.Pc = -0.0005; },
                 29,
                 {0x80, 0x05}},
        FieldRow{"TcpInWholeKelvin",
                 [](FrameContent& c) { c.live.Tcp = 5000.4; },
                 39,
                 {0x00, 0x00, 0x13, 0x88}},
        FieldRow{"NegativeDuvIsTwosComplement",
                 [](FrameContent& c) { c.live.duv = -0.0005; },
                 43,
                 {0xFF, 0xFB}},
        FieldRow{"MaxAndMin",
                 [](FrameContent& c) {
                     c.evMax = 1;
                     c.evMin = 0.5;
                 },
                 31,
                 {0x00, 0x00, 0x27, 0x10, 0x00, 0x00, 0x13, 0x88}},
        FieldRow{"ReferenceTcpCarriesFourDecimals",
                 [](FrameContent& c) { c.temperatureReference.tcp = 5000; },
                 75,
                 {0x02, 0xFA, 0xF0, 0x80}},
        FieldRow{"Clock",
                 [](FrameContent& c) { c.clock = {2026, 12, 5, 16, 39, 5}; },
                 81,
                 {0x07, 0xEA, 12, 5, 16, 39, 5}},
        FieldRow{"StatusBytes",
                 [](FrameContent& c) {
                     c.clockPage = 2;
                     c.memoryCount = 7;
                     c.mode = 17;
                     c.setup = 1;
                     c.unit = 1;
                     c.flagsA = 0x11;
                     c.battery = 3;
                     c.flagsB = 0x85;
                     c.interval = 1;
                 },
                 88,
                 {2, 7, 17, 1, 1, 0x11, 3, 0x85, 1, 0}},
        FieldRow{"ValuesBeyondAFieldAreHeldAtItsLimit",
                 [](FrameContent& c) {
                     c.live.x = 7.0;
                     c.live.y = -1.0;
                 },
                 17,
                 {0xFF, 0xFF, 0x00, 0x00}},
        FieldRow{"HugeDuvIsHeldAtTheLimit",
                 [](FrameContent& c) { c.live.duv = -9.0; },
                 43,
                 {0x80, 0x00}}),
    [](const auto& row) { return std::string(row.param.name); });

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
