#include "FrameBuilder.h"
#include "panel/DisplayState.h"
#include "panel/MeasurementFrame.h"

#include <gtest/gtest.h>

namespace {

using paneltest::FrameBuilder;

struct FieldRow
{
    const char* name;
    std::uint8_t hi, lo;
    int s16, sm16;
};

class SignedFields : public ::testing::TestWithParam<FieldRow>
{
};

TEST_P(SignedFields, DecodeBothSignConventions)
{
    const FieldRow& row = GetParam();
    FrameBuilder b;
    b.byte(29, row.hi).byte(30, row.lo);
    EXPECT_EQ(panel::S16(b.frame, 29), row.s16);
    EXPECT_EQ(panel::SM16(b.frame, 29), row.sm16);
}

INSTANTIATE_TEST_SUITE_P(Limits, SignedFields,
                         ::testing::Values(FieldRow{"small", 0x00, 0x05, 5, 5},
                                           FieldRow{"minus5", 0xFF, 0xFB, -5, -32763},
                                           FieldRow{"signbit5", 0x80, 0x05, -32763, -5},
                                           FieldRow{"max", 0x7F, 0xFF, 32767, 32767},
                                           FieldRow{"min", 0x80, 0x00, -32768, 0},
                                           FieldRow{"all", 0xFF, 0xFF, -1, -32767}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FrameDecoding, ReadsWideFieldsBigEndian)
{
    FrameBuilder b;
    b.byte(1, 0x12).byte(2, 0x34).byte(3, 0x56).byte(4, 0x78);
    b.u32(125, 0xFFFFFFFF);
    EXPECT_EQ(panel::U32(b.frame, 1), 0x12345678u);
    EXPECT_EQ(panel::U16(b.frame, 2), 0x3456u);
    EXPECT_EQ(panel::U32(b.frame, 125), 0xFFFFFFFFu);
    // Past the end of the frame reads as 0 instead of running off the buffer.
    EXPECT_EQ(panel::U16(b.frame, 128), 0xFF00u);
    EXPECT_EQ(panel::Byte(b.frame, 129), 0);
    EXPECT_EQ(panel::Byte(b.frame, 0), 0);
}

TEST(FrameDecoding, JoinsTheDataBytesOfBothReports)
{
    panel::Report first{};
    panel::Report second{};
    first[0] = 0xAA; // report IDs are not part of the frame
    second[0] = 0xBB;
    first[1] = 1;
    first[64] = 64;
    second[1] = 65;
    second[64] = 128;
    const panel::Frame frame = panel::AssembleFrame(first, second);
    EXPECT_EQ(panel::Byte(frame, 1), 1);
    EXPECT_EQ(panel::Byte(frame, 64), 64);
    EXPECT_EQ(panel::Byte(frame, 65), 65);
    EXPECT_EQ(panel::Byte(frame, 128), 128);
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

struct FlagRow
{
    int pos;
    std::uint8_t bits;
    bool panel::FrameFields::*flag;
};

class Flags : public ::testing::TestWithParam<FlagRow>
{
};

TEST_P(Flags, EachBitSetsOnlyItsFlag)
{
    const FlagRow& row = GetParam();
    FrameBuilder b;
    b.byte(row.pos, row.bits);
    const panel::FrameFields f = b.fields();
    const std::vector<bool panel::FrameFields::*> all{
        &panel::FrameFields::cf,          &panel::FrameFields::overload,
        &panel::FrameFields::maxOverload, &panel::FrameFields::tcpOutOfRange,
        &panel::FrameFields::hold,        &panel::FrameFields::memory,
        &panel::FrameFields::memoryFull,  &panel::FrameFields::indicatorA,
        &panel::FrameFields::sd,          &panel::FrameFields::recordOn,
        &panel::FrameFields::memoryBusy,  &panel::FrameFields::setUp,
        &panel::FrameFields::unitFc,      &panel::FrameFields::interval};
    for (auto member : all)
        EXPECT_EQ(f.*member, member == row.flag);
}

INSTANTIATE_TEST_SUITE_P(Bits, Flags,
                         ::testing::Values(FlagRow{93, 0x01, &panel::FrameFields::cf},
                                           FlagRow{93, 0x02, &panel::FrameFields::overload},
                                           FlagRow{93, 0x04, &panel::FrameFields::maxOverload},
                                           FlagRow{93, 0x08, &panel::FrameFields::tcpOutOfRange},
                                           FlagRow{93, 0x10, &panel::FrameFields::hold},
                                           FlagRow{93, 0xE0, nullptr}, // unused bits
                                           FlagRow{95, 0x01, &panel::FrameFields::memory},
                                           FlagRow{95, 0x02, &panel::FrameFields::memoryFull},
                                           FlagRow{95, 0x04, &panel::FrameFields::indicatorA},
                                           FlagRow{95, 0x08, &panel::FrameFields::sd},
                                           FlagRow{95, 0x30, nullptr}, // unused bits
                                           FlagRow{95, 0x40, &panel::FrameFields::recordOn},
                                           FlagRow{95, 0x80, &panel::FrameFields::memoryBusy},
                                           FlagRow{91, 0x01, &panel::FrameFields::setUp},
                                           FlagRow{91, 0xFF, &panel::FrameFields::setUp},
                                           FlagRow{92, 0x02, &panel::FrameFields::unitFc},
                                           FlagRow{96, 0x01, &panel::FrameFields::interval},
                                           FlagRow{96, 0x02,
                                                   nullptr})); // only 1 turns the interval on

struct IlluminanceRow
{
    int mode;
    std::uint8_t unitByte;
    std::uint32_t raw;
    const char* unit;
    const char* text;
};

class Illuminance : public ::testing::TestWithParam<IlluminanceRow>
{
};

TEST_P(Illuminance, UnitAndDecimalsFollowModeAndUnitByte)
{
    const IlluminanceRow& row = GetParam();
    FrameBuilder b;
    b.mode(row.mode).byte(92, row.unitByte).u32(13, row.raw);
    const panel::DisplayState d = panel::ComputeDisplay(b.fields());
    EXPECT_EQ(d.unit.toStdString(), row.unit);
    EXPECT_EQ(d.summary[3].toStdString(), row.text); // LblEvlxfc
}

INSTANTIATE_TEST_SUITE_P(Rule, Illuminance,
                         ::testing::Values(IlluminanceRow{0, 0, 1234567, "lx", "123.4"},
                                           IlluminanceRow{0, 1, 1234567, "fc", "11.46"},
                                           IlluminanceRow{0, 2, 1234567, "fc", "11.46"},
                                           IlluminanceRow{4, 0, 1234567, "", "123.4"},
                                           IlluminanceRow{4, 0, 12345, "", "1.234"},
                                           IlluminanceRow{11, 1, 12345, "", "1.234"},
                                           IlluminanceRow{14, 0, 5000, "", "0.500"},
                                           IlluminanceRow{15, 1, 10000, "fc", "0.09"},
                                           IlluminanceRow{0, 0, 4294967295u, "lx", "42940"},
                                           // Darkness in fc: a tiny value, not "9.29".
                                           IlluminanceRow{0, 1, 1, "fc", "0.00"}));

struct DeltaUvRow
{
    int du, dv;
    const char* text;
};

class DeltaUv : public ::testing::TestWithParam<DeltaUvRow>
{
};

TEST_P(DeltaUv, RootIsCutToFiveCharactersBeforeScaling)
{
    const DeltaUvRow& row = GetParam();
    EXPECT_EQ(panel::DeltaUvText(row.du, row.dv, QLatin1Char('.')).toStdString(), row.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, DeltaUv,
                         ::testing::Values(DeltaUvRow{3, 4, "0.0005"}, DeltaUvRow{-3, -4, "0.0005"},
                                           DeltaUvRow{100, 1, "0.010"}, DeltaUvRow{0, 0, "0.000"},
                                           DeltaUvRow{1, 1, "0.0001"},
                                           DeltaUvRow{1234, 5678, "0.581"},
                                           DeltaUvRow{65535, -65535, "9.268"}));

TEST(DeltaUv, CommaSeparatorDoesNotBreakTheReadBack)
{
    EXPECT_EQ(panel::DeltaUvText(100, 1, QLatin1Char(',')), "0,010");
}

TEST(ReadingFromFrame, ScalesForTheRecording)
{
    FrameBuilder b;
    b.u32(1, 123456).u32(5, 5000000).u32(9, 10).u32(13, 1234567).u16(17, 3127).u16(19, 3290);
    b.u16(21, 1978).u16(23, 4683).u32(39, 6504).s16(43, -12);
    const files::Reading r = panel::ReadingFromFrame(b.fields());
    EXPECT_DOUBLE_EQ(r.X, 12.3456);
    EXPECT_DOUBLE_EQ(r.Y, 500);
    EXPECT_DOUBLE_EQ(r.Z, 0.001);
    EXPECT_DOUBLE_EQ(r.Ev, 123.4567);
    EXPECT_DOUBLE_EQ(r.Tcp, 6504);
    EXPECT_DOUBLE_EQ(r.x, 0.3127);
    EXPECT_DOUBLE_EQ(r.y, 0.329);
    EXPECT_DOUBLE_EQ(r.u, 0.1978);
    EXPECT_DOUBLE_EQ(r.v, 0.4683);
    EXPECT_DOUBLE_EQ(r.duv, -0.0012);
    EXPECT_EQ(r.year, 0);
    EXPECT_EQ(r.second, 0);
}

} // namespace
