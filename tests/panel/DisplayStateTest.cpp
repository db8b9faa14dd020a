#include "panel/DisplayState.h"

#include "FrameBuilder.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

using paneltest::FrameBuilder;

// A frame with distinct values in every field, so each line shows which quantity it took.
FrameBuilder sampleFrame(int mode)
{
    FrameBuilder b;
    b.u32(1, 1234567)     // X 123.4567
        .u32(5, 2345678)  // Y 234.5678
        .u32(9, 3456789)  // Z 345.6789
        .u32(13, 1500000) // Ev 150.0
        .u16(17, 3127)
        .u16(19, 3290)
        .u16(21, 1978)
        .u16(23, 4683)
        .u16(25, 5723) // 572.3 nm
        .u16(27, 1234)
        .u16(29, 0x8000 | 321) // Pc -0.0321
        .u32(31, 2000000)      // max 200.0
        .u32(35, 1000000)      // min 100.0
        .u32(39, 6504)
        .s16(43, -12)
        .u32(45, 1000000) // ref X 100.0
        .u32(49, 2000000) // ref Y 200.0
        .u32(53, 3000000) // ref Z 300.0
        .u16(57, 3000)
        .u16(59, 3100)
        .u16(61, 1900)
        .u16(63, 4600)
        .u16(65, 5700)
        .u16(67, 1000)
        .u16(69, 100)      // ref Pc 0.0100
        .u32(71, 1200000)  // temperature-reference Ev 120.0
        .u32(75, 50000000) // ref Tcp 5000 K
        .s16(79, 20);
    return b.mode(mode);
}

struct ModeRow
{
    int mode;
    const char* legends[3];
    const char* lines[3];
    const char* knm;
    const char* unit;
    // ImaLenda, ImaDeltaX, ImaDeltaY, ImaDeltaZ, ImaDeltaZZ and LblRef shown, as 0/1
    const char* symbols;
};

std::string symbols(const panel::DisplayState& d)
{
    std::string s;
    for (bool b : {d.wavelengthSign, d.deltaTop, d.deltaMiddle, d.deltaBottom, d.secondDeltaBottom,
                   d.referenceMark})
        s += b ? '1' : '0';
    return s;
}

TEST(Modes, LinesLegendsSymbolsAndUnit)
{
    const ModeRow rows[] = {
        ModeRow{0, {"Ev", "x", "y"}, {"150.0", "0.3127", "0.329"}, "", "lx", "000000"},
        ModeRow{1, {"Ev", "u'", "v'"}, {"150.0", "0.1978", "0.4683"}, "", "lx", "000000"},
        ModeRow{2, {"Ev", "d", "Pe"}, {"150.0", "572.3", "0.1234"}, "nm", "lx", "100000"},
        ModeRow{3, {"Ev", "d", "Pc"}, {"150.0", "572.3", "-0.0321"}, "nm", "lx", "100000"},
        ModeRow{4, {"X", "Y", "Z"}, {"123.4", "234.5", "345.6"}, "", "", "000000"},
        ModeRow{5, {"Ev", "max", "min"}, {"150.0", "200.0", "100.0"}, "", "lx", "000000"},
        ModeRow{6, {"Ev", "x", "y"}, {"34.5", "0.0127", "0.019"}, "", "lx", "011100"},
        ModeRow{7, {"Ev", "u'", "v'"}, {"34.5", "0.0078", "0.0083"}, "", "lx", "011100"},
        ModeRow{8, {"Ev", "", "u'v'"}, {"34.5", "", "0.0113"}, "", "lx", "010100"},
        ModeRow{9, {"Ev", "d", "Pe"}, {"34.5", "2.3", "0.0234"}, "nm", "lx", "111100"},
        ModeRow{10, {"Ev", "d", "Pc"}, {"34.5", "2.30", "-0.0421"}, "nm", "lx", "111100"},
        ModeRow{11, {"X", "Y", "Z"}, {"23.4", "34.5", "45.6"}, "", "", "011100"},
        ModeRow{12, {"Ev", "x", "y"}, {"200.0", "0.300", "0.310"}, "", "lx", "000001"},
        ModeRow{13, {"Ev", "u''", "v''"}, {"200.0", "0.190", "0.460"}, "", "lx", "000001"},
        ModeRow{14, {"X", "Y", "Z"}, {"100.0", "200.0", "300.0"}, "", "", "000001"},
        ModeRow{15, {"Ev", "Tcp", "uv"}, {"150.0", "6504", "-0.0012"}, "k", "lx", "000100"},
        ModeRow{16, {"Ev", "Tcp", "uv"}, {"114.5", "1504", "-0.0032"}, "k", "lx", "011110"},
        ModeRow{17, {"Ev", "Tcp", "uv"}, {"120.0", "5000", "0.002"}, "k", "lx", "000101"}};
    for (const ModeRow& row : rows) {
        SCOPED_TRACE(row.mode);
        const panel::DisplayState d = panel::ComputeDisplay(sampleFrame(row.mode).fields());
        ASSERT_TRUE(d.writeLines);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(d.legends[i].toStdString(), row.legends[i]) << i;
            EXPECT_EQ(d.lines[i].toStdString(), row.lines[i]) << i;
        }
        EXPECT_EQ(d.middleUnit.toStdString(), row.knm);
        EXPECT_EQ(d.unit.toStdString(), row.unit);
        EXPECT_EQ(symbols(d), row.symbols);
    }
}

TEST(Display, FootCandlesForDifferencesAndTheReference)
{
    FrameBuilder difference = sampleFrame(6);
    difference.byte(92, 1).u32(5, 1000000); // Y 100.0 against reference 200.0
    const panel::DisplayState d = panel::ComputeDisplay(difference.fields());
    EXPECT_EQ(d.unit, "fc");
    EXPECT_EQ(d.lines[0], "-9.29");
    FrameBuilder reference = sampleFrame(12);
    reference.byte(92, 1);
    EXPECT_EQ(panel::ComputeDisplay(reference.fields()).lines[0], "18.58");
    EXPECT_EQ(panel::ComputeReferenceTexts(reference.fields()).illuminance, "18.58");
}

TEST(Display, TemperatureOutOfRangeShowsDashes)
{
    for (int mode : {15, 16}) {
        FrameBuilder b = sampleFrame(mode);
        b.byte(93, 0x08);
        const panel::DisplayState d = panel::ComputeDisplay(b.fields());
        EXPECT_EQ(d.lines[1], "----") << mode;
        EXPECT_EQ(d.lines[2], "----") << mode;
        EXPECT_EQ(d.middleUnit, "k") << mode;
    }
    FrameBuilder b = sampleFrame(17);
    b.byte(93, 0x08);
    EXPECT_EQ(panel::ComputeDisplay(b.fields()).lines[1], "5000");
}

TEST(Overload, NoValuesAndASteadyMarkInEveryMode)
{
    for (int mode = 0; mode < 18; ++mode) {
        SCOPED_TRACE(mode);
        FrameBuilder b = sampleFrame(mode);
        b.byte(93, 0x02);
        const panel::DisplayState d = panel::ComputeDisplay(b.fields());
        EXPECT_TRUE(d.writeLines);
        if (mode <= 11) {
            EXPECT_EQ(d.lines[0], "");
            EXPECT_EQ(d.lines[1], "OL");
            EXPECT_EQ(d.lines[2], "");
        } else {
            EXPECT_NE(d.lines[0], "");
            EXPECT_NE(d.lines[1], "OL");
        }
        // The legends and the summary stay.
        EXPECT_NE(d.legends[0], "");
        EXPECT_EQ(d.summary[0], "123.4");
    }
}

TEST(Display, UnknownModeBlanksLegendsAndKeepsLines)
{
    for (int mode : {18, 255}) {
        const panel::DisplayState d = panel::ComputeDisplay(sampleFrame(mode).fields());
        EXPECT_FALSE(d.writeLines);
        for (const auto& legend : d.legends)
            EXPECT_EQ(legend, "");
        EXPECT_EQ(d.middleUnit, "");
        EXPECT_EQ(symbols(d), "000000");
        EXPECT_EQ(d.unit, "lx");
    }
}

TEST(Display, MemoryCountTwoDigitsOrFull)
{
    const std::vector<std::tuple<int, int, const char*>> rows = {
        {0, 0, "00"},   {7, 0, "07"},    {99, 0, "99"},
        {123, 0, "23"}, {7, 0x02, "FU"}, {255, 0xFF, "FU"}};
    for (const auto& [count, flagsB, text] : rows) {
        FrameBuilder b;
        b.byte(89, static_cast<std::uint8_t>(count)).byte(95, static_cast<std::uint8_t>(flagsB));
        EXPECT_EQ(panel::ComputeDisplay(b.fields()).memoryCount.toStdString(), text) << count;
    }
}

TEST(Display, ClockPagesOfTheMeterClock)
{
    const std::vector<std::pair<int, const char*>> pages = {
        {0, "03:45"}, {1, "09/17"}, {2, "14\\05"}, {3, ""}, {255, ""}};
    for (const auto& [page, text] : pages) {
        FrameBuilder b;
        b.u16(81, 2014).byte(83, 5).byte(84, 9).byte(85, 17).byte(86, 3).byte(87, 45);
        b.byte(88, static_cast<std::uint8_t>(page));
        EXPECT_EQ(panel::ComputeDisplay(b.fields()).clock.toStdString(), text) << page;
    }
    // Short years and wide fields.
    FrameBuilder b;
    b.u16(81, 5).byte(83, 123).byte(88, 2);
    EXPECT_EQ(panel::ComputeDisplay(b.fields()).clock, "5\\23");
}

TEST(Display, SummaryUsesFixedDecimalsWhateverTheMode)
{
    const panel::DisplayState d = panel::ComputeDisplay(sampleFrame(13).fields());
    const std::array<const char*, 15> expected{"123.4", "234.5",  "345.6",   "150.0",  "200.0",
                                               "100.0", "0.3127", "0.329",   "0.1978", "0.4683",
                                               "572.3", "0.1234", "-0.0321", "6504",   "-0.0012"};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(d.summary[i].toStdString(), expected[i]) << panel::SummaryLabelNames[i];
}

} // namespace
