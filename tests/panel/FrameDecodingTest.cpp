#include "FrameBuilder.h"
#include "link/FrameReadings.h"
#include "panel/DisplayState.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using paneltest::FrameBuilder;

TEST(FrameDecoding, PurityAndDeltaUvUseTheirOwnSignConventions)
{
    FrameBuilder b;
    b.byte(29, 0x80).byte(30, 0x05); // Pc
    b.byte(43, 0xFF).byte(44, 0xFB); // delta-uv
    b.byte(69, 0x00).byte(70, 0x05); // reference Pc
    const meterlink::FrameFields f = b.fields();
    EXPECT_EQ(f.Pc, -5);
    EXPECT_EQ(f.duv, -5);
    EXPECT_EQ(f.refPc, 5);
    EXPECT_EQ(panel::ComputeDisplay(f).summary[12], "-0.0005");
    EXPECT_DOUBLE_EQ(meterlink::RecordReadingFromFrame(f)->duv, -0.0005);
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

// A frame of the set-up menu or in overload holds no reading: nothing is recorded and the chart
// shows no point.
TEST(ReadingFromFrame, NoneInTheSetUpMenuOrInOverload)
{
    // set-up byte, flags byte (0x02: overload), whether the frame is a reading
    const std::vector<std::tuple<int, int, bool>> rows = {
        {0, 0, true}, {1, 0, false}, {0, 0x02, false}, {1, 0x02, false}};
    for (const auto& [setUp, flags, reading] : rows) {
        FrameBuilder b;
        b.u16(17, 3127).byte(91, static_cast<std::uint8_t>(setUp));
        b.byte(93, static_cast<std::uint8_t>(flags));
        const meterlink::FrameFields f = b.fields();
        EXPECT_EQ(meterlink::RecordReadingFromFrame(f).has_value(), reading) << setUp << flags;
        EXPECT_EQ(meterlink::ChromaticityFromFrame(f).has_value(), reading) << setUp << flags;
    }
}

TEST(ReadingFromFrame, ScalesForTheRecording)
{
    FrameBuilder b;
    b.u32(1, 123456).u32(5, 5000000).u32(9, 10).u32(13, 1234567).u16(17, 3127).u16(19, 3290);
    b.u16(21, 1978).u16(23, 4683).u32(39, 6504).s16(43, -12);
    const files::Reading r = meterlink::RecordReadingFromFrame(b.fields()).value();
    const std::vector<double> got{r.X, r.Y, r.Z, r.Ev, r.Tcp, r.x, r.y, r.u, r.v, r.duv};
    const std::vector<double> expected{12.3456, 500,   0.001,  123.4567, 6504,
                                       0.3127,  0.329, 0.1978, 0.4683,   -0.0012};
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_DOUBLE_EQ(got[i], expected[i]) << i;
    EXPECT_EQ(r.year, 0);
}

} // namespace
