#include "panel/ReadingsModel.h"

#include "FrameBuilder.h"
#include "files/CsvWriter.h"
#include "files/RecordCsv.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

using panel::ReadingsModel;
using paneltest::FrameBuilder;

const QDateTime Start(QDate(2026, 12, 7), QTime(14, 3, 5));

// The quantities as the meter sends them: X, Y, Z, Ev, x, y, u', v', wavelength, Pe, Pc (sign
// and magnitude), Tcp, delta-uv.
FrameBuilder frameOf(int mode, std::array<std::uint32_t, 13> raw, std::uint8_t flagsA = 0)
{
    FrameBuilder b;
    for (std::size_t i = 0; i < 4; ++i)
        b.u32(1 + 4 * static_cast<int>(i), raw[i]);
    for (std::size_t i = 0; i < 7; ++i)
        b.u16(17 + 2 * static_cast<int>(i), raw[4 + i]);
    return b.u32(39, raw[11]).u16(43, raw[12]).byte(93, flagsA).mode(mode);
}

constexpr std::array<std::uint32_t, 13> PlainValues = {
    4567890, 5000000, 3210000, 5000000,      3456, 3587,  2101,
    4906,    5723,    1234,    0x8000 | 123, 5003, 0xFFF4};
const FrameBuilder Plain = frameOf(0, PlainValues);
const FrameBuilder OutOfRange = frameOf(
    15, {4667890, 5100000, 3310000, 5100000, 3460, 3590, 2103, 4910, 5730, 1300, 200, 70000, 300},
    8);
const FrameBuilder Overload = frameOf(8, PlainValues, 2);

void fill(ReadingsModel& model, const std::vector<FrameBuilder>& frames)
{
    for (std::size_t i = 0; i < frames.size(); ++i)
        model.append(frames[i].fields(), Start.addSecs(static_cast<int>(i)));
}

std::string csvOf(const ReadingsModel& model)
{
    std::ostringstream text;
    files::CsvWriter out(text);
    EXPECT_TRUE(model.writeCsv(out));
    return text.str();
}

// Under any locale: the point, ISO times, the unit in the title, nothing where the meter
// marked a value as not valid.
TEST(ReadingsCsv, MatchesTheHandWrittenText)
{
    const struct
    {
        const char* name;
        std::vector<FrameBuilder> frames;
        std::string expected;
    } cases[] = {
        {"lx",
         {Plain, OutOfRange, Overload},
         "Time,Mode,X,Y,Z,Ev (lx),x,y,u',v',Tcp (K),delta-uv,Wavelength (nm),Pe,Pc\r\n"
         "2026-12-07T14:03:05.000,0 Ev x "
         "y,456.8,500.0,321.0,500.0,0.3456,0.3587,0.2101,0.4906,5003,"
         "-0.0012,572.3,0.123,-0.012\r\n"
         "2026-12-07T14:03:06.000,15 Ev Tcp "
         "uv,466.8,510.0,331.0,510.0,0.3460,0.3590,0.2103,0.4910,,,"
         "573.0,0.130,0.020\r\n"
         "2026-12-07T14:03:07.000,8 Ev u'v',,,,,,,,,,,,,\r\n"},
        // The meter switched to fc: the whole column follows, with the display's factor.
        {"fc",
         {FrameBuilder().u32(13, 10000000).mode(13),
          FrameBuilder().u32(13, 5381000).byte(92, 1).mode(99)},
         "Time,Mode,X,Y,Z,Ev (fc),x,y,u',v',Tcp (K),delta-uv,Wavelength (nm),Pe,Pc\r\n"
         "2026-12-07T14:03:05.000,13 Ev u'' v'',0.0,0.0,0.0,92.90,0.0000,0.0000,0.0000,0.0000,0,"
         "0.0000,0.0,0.000,0.000\r\n"
         "2026-12-07T14:03:06.000,99,0.0,0.0,0.0,49.99,0.0000,0.0000,0.0000,0.0000,0,0.0000,0.0,"
         "0.000,0.000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadingsModel model;
        fill(model, c.frames);
        EXPECT_EQ(csvOf(model), c.expected);
    }
}

// A spreadsheet that takes the List's CSV and a recording's CSV finds each quantity under the
// same title, in the same place relative to the others and in the same unit.
TEST(ReadingsCsv, NamesTheQuantitiesAsARecordCsvDoes)
{
    for (const bool footCandles : {false, true}) {
        SCOPED_TRACE(footCandles ? "fc" : "lx");
        std::ostringstream text;
        files::CsvWriter out(text);
        panel::WriteReadingTitles(out, footCandles);
        ASSERT_TRUE(out.finish());
        std::string records;
        for (const std::string& title : files::RecordColumnTitles(footCandles))
            records += (records.empty() ? "" : ",") + title;
        std::string listed = text.str();
        // The quantities a record line does not hold, and the mode, taken out.
        listed.erase(listed.find(",Wavelength (nm),Pe,Pc\r\n"));
        listed.erase(listed.find(",Mode"), 5);
        EXPECT_EQ(listed, records);
    }
}

TEST(ReadingsStatistics, OverKeptRowsWithoutTheMarkedValues)
{
    ReadingsModel model;
    fill(model, {Plain, OutOfRange, Overload});
    struct Row
    {
        int column;
        const char* texts[4]; // minimum, maximum, mean, standard deviation
    };
    const Row rows[] = {
        {panel::XColumn, {"456.8", "466.8", "461.79", "7.07"}},
        {panel::EvColumn, {"500.0", "510.0", "505.00", "7.07"}},
        {panel::xColumn, {"0.3456", "0.3460", "0.34580", "0.00028"}},
        {panel::TcpColumn, {"5003", "5003", "5003.0", ""}},
        {panel::ModeColumn, {"", "", "", ""}},
    };
    for (const Row& row : rows)
        for (int s = 0; s < panel::StatisticsRowCount; ++s)
            EXPECT_EQ(model.statisticsText(s, row.column).toStdString(), row.texts[s])
                << row.column << " " << s;

    // Fresh after every change, not the figures of the first look.
    model.append(FrameBuilder().u32(1, 100000).byte(92, 1).fields(), Start);
    EXPECT_EQ(model.statisticsText(panel::MinimumRow, panel::XColumn), QStringLiteral("10.0"));
    EXPECT_EQ(model.statisticsText(panel::MaximumRow, panel::EvColumn), QStringLiteral("47.38"));
    model.clear();
    EXPECT_EQ(model.statisticsText(panel::MinimumRow, panel::XColumn), QString());
}

// The statistics follow the ring as rows come and the oldest go, also once a step in the values
// has left the sums far from their new, close values.
TEST(ReadingsRing, KeepsTheNewestTenThousandInOrder)
{
    ReadingsModel model;
    const auto add = [&model](int from, int to, auto raw) {
        for (int i = from; i <= to; ++i)
            model.append(FrameBuilder().u32(1, raw(i)).fields(), Start);
    };
    const auto statistics = [&model] {
        std::vector<std::string> texts;
        for (int s = 0; s < panel::StatisticsRowCount; ++s)
            texts.push_back(model.statisticsText(s, panel::XColumn).toStdString());
        return texts;
    };
    constexpr int Frames = 2 * ReadingsModel::Capacity + 5001;
    add(1, Frames, [](int i) { return static_cast<std::uint32_t>(i) * 10000; });
    ASSERT_EQ(model.rowCount(), ReadingsModel::Capacity);
    const int oldest = Frames - ReadingsModel::Capacity + 1;
    EXPECT_EQ(model.cellText(0, panel::XColumn), QString::number(oldest) + QStringLiteral(".0"));
    EXPECT_EQ(model.cellText(ReadingsModel::Capacity - 1, panel::XColumn),
              QString::number(Frames) + QStringLiteral(".0"));
    EXPECT_EQ(statistics(),
              (std::vector<std::string>{"15002.0", "25001.0", "20001.50", "2886.90"}));
    const std::string csv = csvOf(model);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), ReadingsModel::Capacity + 1);

    // 100000.0 and 100000.1 by turns.
    add(1, ReadingsModel::Capacity, [](int i) { return 1000000000u + (i % 2) * 1000u; });
    EXPECT_EQ(statistics(),
              (std::vector<std::string>{"100000.0", "100000.1", "100000.05", "0.05"}));
}

} // namespace
