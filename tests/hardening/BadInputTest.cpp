// Whatever a person types or pastes into the program's boxes: huge and negative numbers,
// exponents, letters, empty and very long texts. Each is read by its leading number, or refused
// with a message; nothing crashes and nothing odd reaches the meter.
#include "link/MeterCommands.h"
#include "panel/ChromaPicture.h"
#include "panel/Schedules.h"
#include "plot/PlotWindow.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TempRoot.h"
#include "ui/PollControl.h"
#include "ui/Services.h"
#include "virtualmeter/VirtualMeter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString LongDigits = QString(100000, QLatin1Char('9'));
const QString LongLetters = QString(100000, QLatin1Char('x'));

class Poll : public ui::PollControl
{
public:
    void setPolling(bool on) override { m_on = on; }
    bool polling() const override { return m_on; }

private:
    bool m_on = true;
};

struct IntervalRow
{
    QString typed;
    std::optional<int> pc;    // what the PC interval becomes (1..86400)
    std::optional<int> meter; // what is sent to the meter (1..3600)
};

void PrintTo(const IntervalRow& row, std::ostream* os)
{
    *os << '"' << row.typed.left(20).toStdString() << (row.typed.size() > 20 ? "...\"" : "\"");
}

class SamplingTimeTyped : public ::testing::TestWithParam<IntervalRow>
{
};

TEST_P(SamplingTimeTyped, PcIntervalIsRoundedAndClamped)
{
    testsupport::FakeDialogs dialogs;
    dialogs.inputAnswers = {GetParam().typed};
    EXPECT_EQ(panel::AskPcInterval(dialogs, 7), GetParam().pc);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_P(SamplingTimeTyped, MeterGetsTwoBytesInRangeOrNothing)
{
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link(meter);
    testsupport::FakeDialogs dialogs;
    Poll poll;
    dialogs.inputAnswers = {GetParam().typed};
    EXPECT_EQ(panel::SetMeterInterval({link, poll, dialogs}), GetParam().meter);
    EXPECT_TRUE(poll.polling());

    std::optional<int> sent;
    for (const auto& w : meter.writes()) {
        if (w.size() > 4 && w[1] == meterlink::meter::Command &&
            w[2] == meterlink::meter::WriteSamplingTime)
            sent = w[3] * 256 + w[4];
    }
    EXPECT_EQ(sent, GetParam().meter);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, SamplingTimeTyped,
    ::testing::Values(
        IntervalRow{QStringLiteral("30"), 30, 30},
        IntervalRow{QStringLiteral(" 2.5"), 2, 2}, // halves to the even one
        IntervalRow{QStringLiteral("3.5 s"), 4, 4}, IntervalRow{QStringLiteral("+7"), 7, 7},
        IntervalRow{QStringLiteral("-5"), 1, 1}, IntervalRow{QStringLiteral("0.4"), 1, 1},
        IntervalRow{QStringLiteral("1e3"), 1000, 1000}, IntervalRow{QStringLiteral("1E-3"), 1, 1},
        IntervalRow{QStringLiteral("86400.5"), 86400, 3600},
        IntervalRow{QStringLiteral("99999999999999999999999"), 86400, 3600},
        IntervalRow{QStringLiteral("1e400"), 86400, 3600},
        IntervalRow{QStringLiteral("-1e400"), 1, 1}, IntervalRow{LongDigits, 86400, 3600},
        IntervalRow{QStringLiteral("12abc"), 12, 12},
        IntervalRow{QStringLiteral("abc"), std::nullopt, std::nullopt},
        IntervalRow{QStringLiteral("."), std::nullopt, std::nullopt},
        IntervalRow{QStringLiteral("-"), std::nullopt, std::nullopt},
        IntervalRow{QStringLiteral(""), std::nullopt, std::nullopt},
        IntervalRow{LongLetters, std::nullopt, std::nullopt}));

struct FieldRow
{
    QString typed;
    bool refused;
};

void PrintTo(const FieldRow& row, std::ostream* os)
{
    *os << '"' << row.typed.left(20).toStdString() << '"';
}

class ScheduleFieldTyped : public ::testing::TestWithParam<FieldRow>
{
};

// Every field of both schedules in turn gets the text; a value that does not fit its byte is
// refused with a message and the report to the meter is left alone.
TEST_P(ScheduleFieldTyped, FitsItsByteOrIsRefused)
{
    for (const auto kind : {panel::ScheduleKind::Reservation, panel::ScheduleKind::Cycling}) {
        const int fields = panel::ScheduleFieldCount(kind);
        for (int f = 0; f < panel::ScheduleByteFields(kind); ++f) {
            panel::ScheduleTexts texts;
            for (int i = 0; i < fields; ++i)
                texts.fields << QStringLiteral("01");
            texts.fields[f] = GetParam().typed;
            meterlink::Report report{};
            report.fill(0xA5);
            const auto refusal = panel::ScheduleCommand(kind, texts, report);
            EXPECT_EQ(refusal.has_value(), GetParam().refused) << "field " << f;
            if (refusal) {
                EXPECT_FALSE(refusal->isEmpty());
                EXPECT_EQ(report[1], 0xA5) << "nothing may be prepared for the meter";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ScheduleFieldTyped,
    ::testing::Values(
        FieldRow{QStringLiteral("7"), false}, FieldRow{QStringLiteral(""), false},
        FieldRow{QStringLiteral("abc"), false}, FieldRow{QStringLiteral("2e2"), false},
        FieldRow{QStringLiteral("255.4"), false}, FieldRow{QStringLiteral("-0.4"), false},
        FieldRow{QStringLiteral("255.5"), true}, FieldRow{QStringLiteral("-1"), true},
        FieldRow{QStringLiteral("1e999"), true}, FieldRow{QStringLiteral("-1e999"), true},
        FieldRow{LongDigits, true}, FieldRow{LongLetters, false}));

TEST(ScheduleIntervalTyped, HugeMinutesAreRefused)
{
    for (const QString& minutes :
         {QStringLiteral("1092.3"), QStringLiteral("1e300"), LongDigits, QStringLiteral("-1")}) {
        panel::ScheduleTexts texts;
        const auto kind = panel::ScheduleKind::Cycling;
        for (int i = 0; i < panel::ScheduleFieldCount(kind); ++i)
            texts.fields << QStringLiteral("00");
        texts.fields[panel::ScheduleByteFields(kind)] = minutes;
        meterlink::Report report{};
        EXPECT_TRUE(panel::ScheduleCommand(kind, texts, report).has_value())
            << minutes.left(20).toStdString();
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
    const auto& texts = GetParam().texts;
    for (int i = 1; i <= 5; ++i) {
        const int box = i % 5; // corners 1..4, then the point in box 0
        const auto at = static_cast<std::size_t>(2 * (i - 1));
        picture.findChild<QLineEdit*>(QStringLiteral("TxtNoX(%1)").arg(box))
            ->setText(QString::fromLatin1(texts[at]));
        picture.findChild<QLineEdit*>(QStringLiteral("TxtNoY(%1)").arg(box))
            ->setText(QString::fromLatin1(texts[at + 1]));
    }
    picture.CmdChromaOK_Click();
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

class PlotPoll : public ui::PollControl
{
public:
    void setPolling(bool on) override { m_on = on; }
    bool polling() const override { return m_on; }

private:
    bool m_on = false;
};

struct RangeRow
{
    const char* min;
    const char* max;
    const char* from;
    const char* to;
    bool refused;
};

void PrintTo(const RangeRow& row, std::ostream* os)
{
    *os << "min " << row.min << " max " << row.max << " from " << row.from << " to " << row.to;
}

class PlotRangeTyped : public ::testing::TestWithParam<RangeRow>
{
protected:
    PlotRangeTyped()
    {
        data.RecordCount = 10;
        data.RecordX.assign(11, QStringLiteral(" 0.3500"));
        data.RecordY.assign(11, QStringLiteral(" 0.2000"));
        data.PlotFrom = 1;
        data.PlotTo = 10;
        data.PlotCount = 10;
    }

    testsupport::TempRoot root;
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
    testsupport::FakeDialogs dialogs;
    testsupport::FakeClock clock;
    files::PlotData data;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, root.paths, data, fileState, cmd};
    PlotPoll poll;
    plot::PlotSettings settings;
};

// The range is read from the boxes; out-of-range texts are refused with the message, the rest
// is drawn to the end, regions with absurd corners included.
TEST_P(PlotRangeTyped, RefusesOrDraws)
{
    plot::PlotWindow window(services, poll, nullptr, settings);
    window.resize(630, 660);
    window.show();
    const RangeRow& row = GetParam();
    const auto set = [&window](const char* name, const char* text) {
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    };
    set("TxtTMin", row.min);
    set("TxtTMax", row.max);
    set("TxtFrom", row.from);
    set("TxtTo", row.to);

    plot::RegionRows regions;
    regions[0].checked = true;
    regions[0].texts = {QStringLiteral("1e308"),  QStringLiteral("-1e308"),
                        QStringLiteral("0"),      QStringLiteral("abc"),
                        QStringLiteral("1e-308"), QStringLiteral(""),
                        QStringLiteral("1e999"),  LongDigits};
    regions[1].checked = true;
    regions[1].texts.fill(QStringLiteral("0.3"));
    window.setRegionRows(regions);
    window.CmdUserOK_Click();

    dialogs.messages.clear();
    window.CmdRangeOK_Click();
    EXPECT_EQ(dialogs.messages.size(), row.refused ? 1u : 0u);
    window.PlotGrid();
    for (int i = 0; i < 100000 && window.plotStageRunning(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(window.plotStageRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Typed, PlotRangeTyped,
    ::testing::Values(RangeRow{"0", "1", "1", "10", false}, RangeRow{"0", "1", "2.5", "7.5", false},
                      RangeRow{"-1e300", "1e300", "1", "10", false},
                      RangeRow{"0", "1e-300", "1", "10", false},
                      RangeRow{"0.3", "0.3000000000000001", "1", "10", false},
                      RangeRow{"-1e308", "1e308", "1", "10", true}, // the span is not finite
                      RangeRow{"1", "0", "1", "10", true}, RangeRow{"", "", "1", "10", true},
                      RangeRow{"abc", "xyz", "1", "10", true}, RangeRow{"0", "1", "0", "10", true},
                      RangeRow{"0", "1", "1", "11", true},
                      RangeRow{"0", "1", "1e999", "1e999", true},
                      RangeRow{"0", "1", "-1e999", "1e999", true},
                      RangeRow{"0", "1", "5", "5", true}, RangeRow{"0", "1", "", "", true}));

} // namespace
