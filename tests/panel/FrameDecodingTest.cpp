#include "FrameBuilder.h"
#include "panel/DisplayState.h"
#include "panel/MeasurementFrame.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using paneltest::FrameBuilder;

TEST(FrameDecoding, JoinsTheDataBytesOfBothReports)
{
    meterlink::Report first{};
    meterlink::Report second{};
    first[0] = 0xAA; // report IDs are not part of the frame
    second[0] = 0xBB;
    first[1] = 1;
    first[64] = 64;
    second[1] = 65;
    second[64] = 128;
    const panel::Frame frame =
        panel::AssembleFrame(meterlink::Answer(first), meterlink::Answer(second));
    EXPECT_EQ(frame[0], 1);
    EXPECT_EQ(frame[63], 64);
    EXPECT_EQ(frame[64], 65);
    EXPECT_EQ(frame[127], 128);
}

TEST(FrameDecoding, PurityAndDeltaUvUseTheirOwnSignConventions)
{
    FrameBuilder b;
    b.byte(29, 0x80).byte(30, 0x05); // Pc
    b.byte(43, 0xFF).byte(44, 0xFB); // delta-uv
    b.byte(69, 0x00).byte(70, 0x05); // reference Pc
    const panel::FrameFields f = b.fields();
    EXPECT_EQ(f.Pc, -5);
    EXPECT_EQ(f.duv, -5);
    EXPECT_EQ(f.refPc, 5);
    EXPECT_EQ(panel::ComputeDisplay(f).summary[12], "-0.0005");
    EXPECT_DOUBLE_EQ(panel::ReadingFromFrame(f).duv, -0.0005);
}

TEST(FrameDecoding, EachBitSetsOnlyItsFlag)
{
    using F = panel::FrameFields;
    const std::vector<bool F::*> all{&F::cf,     &F::overload, &F::maxOverload, &F::tcpOutOfRange,
                                     &F::hold,   &F::memory,   &F::memoryFull,  &F::indicatorA,
                                     &F::sd,     &F::recordOn, &F::memoryBusy,  &F::setUp,
                                     &F::unitFc, &F::interval};
    // nullptr: bits that set no flag (only 1 in byte 96 turns the interval on).
    const std::vector<std::tuple<int, int, bool F::*>> rows = {
        {93, 0x01, &F::cf},          {93, 0x02, &F::overload},
        {93, 0x04, &F::maxOverload}, {93, 0x08, &F::tcpOutOfRange},
        {93, 0x10, &F::hold},        {93, 0xE0, nullptr},
        {95, 0x01, &F::memory},      {95, 0x02, &F::memoryFull},
        {95, 0x04, &F::indicatorA},  {95, 0x08, &F::sd},
        {95, 0x30, nullptr},         {95, 0x40, &F::recordOn},
        {95, 0x80, &F::memoryBusy},  {91, 0x01, &F::setUp},
        {91, 0xFF, &F::setUp},       {92, 0x02, &F::unitFc},
        {96, 0x01, &F::interval},    {96, 0x02, nullptr}};
    for (const auto& [pos, bits, flag] : rows) {
        FrameBuilder b;
        b.byte(pos, static_cast<std::uint8_t>(bits));
        const F f = b.fields();
        for (auto member : all)
            EXPECT_EQ(f.*member, member == flag) << pos << " " << bits;
    }
}

TEST(FrameDecoding, IlluminanceUnitAndDecimalsFollowModeAndUnitByte)
{
    // mode, unit byte, raw Ev, unit, LblEvlxfc
    const std::vector<std::tuple<int, int, std::uint32_t, const char*, const char*>> rows = {
        {0, 0, 1234567, "lx", "123.4"},
        {0, 1, 1234567, "fc", "11.46"},
        {0, 2, 1234567, "fc", "11.46"},
        {4, 0, 1234567, "", "123.4"},
        {4, 0, 12345, "", "1.234"},
        {11, 1, 12345, "", "1.234"},
        {14, 0, 5000, "", "0.500"},
        {15, 1, 10000, "fc", "0.09"},
        {0, 0, 4294967295u, "lx", "42940"},
        {0, 1, 1, "fc", "0.00"}}; // darkness in fc: a tiny value, not "9.29"
    for (const auto& [mode, unitByte, raw, unit, text] : rows) {
        FrameBuilder b;
        b.mode(mode).byte(92, static_cast<std::uint8_t>(unitByte)).u32(13, raw);
        const panel::DisplayState d = panel::ComputeDisplay(b.fields());
        EXPECT_EQ(d.unit.toStdString(), unit) << mode << " " << raw;
        EXPECT_EQ(d.summary[3].toStdString(), text) << mode << " " << raw;
    }
}

TEST(DeltaUv, RootIsCutToFiveCharactersBeforeScaling)
{
    const std::vector<std::tuple<int, int, const char*>> rows = {
        {3, 4, "0.0005"}, {-3, -4, "0.0005"},    {100, 1, "0.010"},       {0, 0, "0.000"},
        {1, 1, "0.0001"}, {1234, 5678, "0.581"}, {65535, -65535, "9.268"}};
    for (const auto& [du, dv, text] : rows)
        EXPECT_EQ(panel::DeltaUvText(du, dv, QLatin1Char('.')).toStdString(), text) << du << dv;
    // A comma separator does not break the read-back.
    EXPECT_EQ(panel::DeltaUvText(100, 1, QLatin1Char(',')), "0,010");
}

TEST(ReadingFromFrame, ScalesForTheRecording)
{
    FrameBuilder b;
    b.u32(1, 123456).u32(5, 5000000).u32(9, 10).u32(13, 1234567).u16(17, 3127).u16(19, 3290);
    b.u16(21, 1978).u16(23, 4683).u32(39, 6504).s16(43, -12);
    const files::Reading r = panel::ReadingFromFrame(b.fields());
    const std::vector<double> got{r.X, r.Y, r.Z, r.Ev, r.Tcp, r.x, r.y, r.u, r.v, r.duv};
    const std::vector<double> expected{12.3456, 500,   0.001,  123.4567, 6504,
                                       0.3127,  0.329, 0.1978, 0.4683,   -0.0012};
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_DOUBLE_EQ(got[i], expected[i]) << i;
    EXPECT_EQ(r.year, 0);
}

} // namespace
