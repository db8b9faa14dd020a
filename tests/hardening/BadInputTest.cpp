// Whatever a person types or pastes into the program's boxes: huge and negative numbers,
// exponents, letters, empty and very long texts. Each is read by its leading number, or refused
// with a message; nothing crashes and nothing odd reaches the meter.
#include "link/MeterCommands.h"
#include "panel/ChromaPicture.h"
#include "panel/Schedules.h"
#include "plot/PlotWindow.h"
#include "tests/support/PanelHarness.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString LongDigits = QString(100000, QLatin1Char('9'));
const QString LongLetters = QString(100000, QLatin1Char('x'));

// A typed text as a case name: the first twenty characters.
std::string Short(const QString& text)
{
    return '"' + text.left(20).toStdString() + (text.size() > 20 ? "...\"" : "\"");
}

struct IntervalRow
{
    QString typed;
    std::optional<int> pc;    // what the PC interval becomes (1..86400)
    std::optional<int> meter; // what is sent to the meter (1..3600)
};

void PrintTo(const IntervalRow& row, std::ostream* os)
{
    *os << Short(row.typed);
}

class SamplingTimeTyped : public ::testing::TestWithParam<IntervalRow>
{
};

// The PC interval is rounded and clamped without a word; the meter gets two bytes in its range
// or nothing.
TEST_P(SamplingTimeTyped, ReadByItsLeadingNumber)
{
    testsupport::Harness<> h;
    h.dialogs.inputAnswers = {GetParam().typed, GetParam().typed};
    EXPECT_EQ(panel::AskPcInterval(h.dialogs, 7), GetParam().pc);
    EXPECT_TRUE(h.dialogs.messages.empty());
    int meterInterval = 0;
    EXPECT_EQ(panel::SetMeterInterval({h.runner, h.dialogs}, meterInterval), GetParam().meter);
    EXPECT_TRUE(h.poll.polling());

    std::optional<int> sent;
    for (const auto& w : h.meter.writes()) {
        if (w.size() > 4 && w[1] == meterlink::meter::Command &&
            w[2] == meterlink::meter::WriteSamplingTime)
            sent = w[3] * 256 + w[4];
    }
    EXPECT_EQ(sent, GetParam().meter);
}

using R = IntervalRow;
// " 2.5" halves to the even one.
INSTANTIATE_TEST_SUITE_P(
    Typed, SamplingTimeTyped,
    ::testing::Values(R{"30", 30, 30}, R{" 2.5", 2, 2}, R{"3.5 s", 4, 4}, R{"+7", 7, 7},
                      R{"-5", 1, 1}, R{"0.4", 1, 1}, R{"1e3", 1000, 1000}, R{"1E-3", 1, 1},
                      R{"86400.5", 86400, 3600}, R{"99999999999999999999999", 86400, 3600},
                      R{"1e400", 86400, 3600}, R{"-1e400", 1, 1}, R{LongDigits, 86400, 3600},
                      R{"12abc", 12, 12}, R{"abc", {}, {}}, R{".", {}, {}}, R{"-", {}, {}},
                      R{"", {}, {}}, R{LongLetters, {}, {}}));

// The refusal of the schedule's write command with `typed` in field `field` and "01" in the
// others; nothing when the command can go out.
std::optional<QString> TypeInto(panel::ScheduleKind kind, int field, const QString& typed)
{
    panel::ScheduleTexts texts;
    for (int i = 0; i < panel::ScheduleFieldCount(kind); ++i)
        texts.fields << (i == field ? typed : QStringLiteral("01"));
    const auto command = panel::ScheduleCommand(kind, texts);
    if (const auto* refusal = std::get_if<QString>(&command))
        return *refusal;
    return std::nullopt;
}

struct FieldRow
{
    QString typed;
    bool refused;
};

void PrintTo(const FieldRow& row, std::ostream* os)
{
    *os << Short(row.typed);
}

class ScheduleFieldTyped : public ::testing::TestWithParam<FieldRow>
{
};

// Every field of both schedules in turn gets the text; a value that does not fit its byte is
// refused with a message.
TEST_P(ScheduleFieldTyped, FitsItsByteOrIsRefused)
{
    for (const auto kind : {panel::ScheduleKind::Reservation, panel::ScheduleKind::Cycling}) {
        for (int f = 0; f < panel::ScheduleByteFields(kind); ++f) {
            const auto refusal = TypeInto(kind, f, GetParam().typed);
            EXPECT_EQ(refusal.has_value(), GetParam().refused) << "field " << f;
            if (refusal) {
                EXPECT_FALSE(refusal->isEmpty());
            }
        }
    }
}

const std::vector<FieldRow> FieldRows = {
    {"7", false},     {"", false},      {"abc", false},     {"2e2", false},
    {"255.4", false}, {"-0.4", false},  {"255.5", true},    {"-1", true},
    {"1e999", true},  {"-1e999", true}, {LongDigits, true}, {LongLetters, false},
};

INSTANTIATE_TEST_SUITE_P(Typed, ScheduleFieldTyped, ::testing::ValuesIn(FieldRows));

TEST(ScheduleIntervalTyped, HugeMinutesAreRefused)
{
    const auto kind = panel::ScheduleKind::Cycling;
    for (const QString& minutes :
         {QString("1092.3"), QString("1e300"), LongDigits, QString("-1")}) {
        EXPECT_TRUE(TypeInto(kind, panel::ScheduleByteFields(kind), minutes).has_value())
            << Short(minutes);
    }
}

struct ChromaRow
{
    std::array<const char*, 10> texts; // P1 x, y ... P4 x, y, then the point
    const char* expected;              // nullptr: either answer, as long as there is one
};

void PrintTo(const ChromaRow& row, std::ostream* os)
{
    *os << "point " << row.texts[8] << ", " << row.texts[9] << " corner " << row.texts[0];
}

class ChromaTyped : public ::testing::TestWithParam<ChromaRow>
{
};

// Pasted text passes the key filter; the test reads whatever the boxes hold.
TEST_P(ChromaTyped, AnswersWithoutCrashing)
{
    panel::ChromaPicture picture;
    for (std::size_t i = 0; i < 10; ++i) { // corners 1..4, then the point in box 0
        const QString box =
            QStringLiteral("TxtNo%1(%2)").arg(QLatin1Char(i % 2 ? 'Y' : 'X')).arg((i / 2 + 1) % 5);
        picture.findChild<QLineEdit*>(box)->setText(QString::fromLatin1(GetParam().texts[i]));
    }
    picture.testPoint();
    const QString answer = picture.findChild<QLabel*>(QStringLiteral("LblChromaResult"))->text();
    if (GetParam().expected)
        EXPECT_EQ(answer, QString::fromLatin1(GetParam().expected));
    else
        EXPECT_TRUE(answer == QLatin1String("Inside") || answer == QLatin1String("Outside"));
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ChromaTyped,
    ::testing::Values(
        ChromaRow{{"0", "0", "1e0", "0", "1", "1", "0", "1.0e0", "5e-1", ".5"}, "Inside"},
        ChromaRow{{"0", "0", "1x", "0", "1 ", "1", " 0", "1", "0.5abc", "0.5"}, "Inside"},
        ChromaRow{{"", "", "", "", "", "", "", "", "", ""}, nullptr},
        ChromaRow{{"abc", "-", ".", "e5", "+", "--1", "x", "y", "z", "w"}, nullptr},
        ChromaRow{
            {"-1e308", "-1e308", "1e308", "-1e308", "1e308", "1e308", "-1e308", "1e308", "0", "0"},
            nullptr},
        ChromaRow{{"1e999", "-1e999", "1e999", "1e999", "-1e999", "1e999", "-1e999", "-1e999",
                   "1e999", "1e-999"},
                  nullptr},
        ChromaRow{{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}, nullptr}));

struct RangeRow
{
    std::array<const char*, 4> texts; // TxtTMin, TxtTMax, TxtFrom, TxtTo
    bool refused;
};

void PrintTo(const RangeRow& row, std::ostream* os)
{
    *os << "min " << row.texts[0] << " max " << row.texts[1] << " from " << row.texts[2] << " to "
        << row.texts[3];
}

class PlotRangeTyped : public ::testing::TestWithParam<RangeRow>
{
};

// The range is read from the boxes; out-of-range texts are refused with the message, the rest
// is drawn to the end, regions with absurd corners included.
TEST_P(PlotRangeTyped, RefusesOrDraws)
{
    testsupport::Harness<> h;
    h.plot.RecordCount = h.plot.PlotCount = h.plot.PlotTo = 10;
    h.plot.PlotFrom = 1;
    for (int n = 1; n <= 10; ++n)
        h.plot.Records.append(" 0.3500", " 0.2000");
    plot::PlotSettings settings;
    plot::PlotWindow window(h.services, {}, nullptr, settings);
    window.resize(630, 660);
    window.show();
    const char* boxes[] = {"TxtTMin", "TxtTMax", "TxtFrom", "TxtTo"};
    for (std::size_t i = 0; i < 4; ++i)
        window.findChild<QLineEdit*>(QString::fromLatin1(boxes[i]))
            ->setText(QString::fromLatin1(GetParam().texts[i]));

    plot::RegionRows regions;
    regions[0].checked = regions[1].checked = true;
    regions[0].texts = {"1e308", "-1e308", "0", "abc", "1e-308", "", "1e999", LongDigits};
    regions[1].texts.fill(QStringLiteral("0.3"));
    window.setRegionRows(regions);
    window.showRegions();

    h.dialogs.messages.clear();
    window.applyRange();
    EXPECT_EQ(h.dialogs.messages.size(), GetParam().refused ? 1u : 0u);
    window.startPlotStage();
    for (int i = 0; i < 100000 && window.plotStageRunning(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(window.plotStageRunning());
}

// The span from -1e308 to 1e308 is not finite.
INSTANTIATE_TEST_SUITE_P(
    Typed, PlotRangeTyped,
    ::testing::Values(
        RangeRow{{"0", "1", "1", "10"}, false}, RangeRow{{"0", "1", "2.5", "7.5"}, false},
        RangeRow{{"-1e300", "1e300", "1", "10"}, false},
        RangeRow{{"0", "1e-300", "1", "10"}, false},
        RangeRow{{"0.3", "0.3000000000000001", "1", "10"}, false},
        RangeRow{{"-1e308", "1e308", "1", "10"}, true}, RangeRow{{"1", "0", "1", "10"}, true},
        RangeRow{{"", "", "1", "10"}, true}, RangeRow{{"abc", "xyz", "1", "10"}, true},
        RangeRow{{"0", "1", "0", "10"}, true}, RangeRow{{"0", "1", "1", "11"}, true},
        RangeRow{{"0", "1", "1e999", "1e999"}, true}, RangeRow{{"0", "1", "-1e999", "1e999"}, true},
        RangeRow{{"0", "1", "5", "5"}, true}, RangeRow{{"0", "1", "", ""}, true}));

} // namespace
