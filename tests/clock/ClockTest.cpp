#include "clock/ClockTexts.h"
#include "clock/RtcWindow.h"
#include "link/MeterCommands.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TempRoot.h"
#include "virtualmeter/VirtualMeter.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct MeterTimeRow
{
    Bytes answer;
    QString text;
};

class MeterTimeTable : public ::testing::TestWithParam<MeterTimeRow>
{
};

TEST_P(MeterTimeTable, TwoDigitsEach)
{
    meterlink::Report r{};
    std::copy(GetParam().answer.begin(), GetParam().answer.end(), r.begin() + 1);
    EXPECT_EQ(meterclock::MeterTimeText(r), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MeterTimeTable,
    ::testing::Values(MeterTimeRow{{26, 12, 5, 16, 39, 5}, QStringLiteral("26/12/05 16:39:05")},
                      MeterTimeRow{{0, 0, 0, 0, 0, 0}, QStringLiteral("00/00/00 00:00:00")},
                      MeterTimeRow{{123, 255, 100, 99, 9, 10},
                                   QStringLiteral("23/55/00 99:09:10")}));

struct PCTimeRow
{
    QDateTime now;
    meterclock::Separators separators;
    QString text;
};

class PCTimeTable : public ::testing::TestWithParam<PCTimeRow>
{
};

TEST_P(PCTimeTable, CenturyDroppedSeventeenCharacters)
{
    const QString text = meterclock::PCTimeText(GetParam().now, GetParam().separators);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(text.size(), 17);
}

const meterclock::Separators Slash{};
const meterclock::Separators Dots{QLatin1Char('.'), QLatin1Char('.')};

INSTANTIATE_TEST_SUITE_P(
    Rows, PCTimeTable,
    ::testing::Values(PCTimeRow{QDateTime(QDate(2026, 12, 5), QTime(16, 39, 5)), Slash,
                                QStringLiteral("26/12/05 16:39:05")},
                      PCTimeRow{QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)), Slash,
                                QStringLiteral("26/12/31 23:59:59")},
                      PCTimeRow{QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)), Slash,
                                QStringLiteral("27/01/01 00:00:00")},
                      PCTimeRow{QDateTime(QDate(2026, 12, 5), QTime(9, 5, 0)), Dots,
                                QStringLiteral("26.12.05 09.05.00")}));

TEST(SetClock, SixBytesFromThePCTime)
{
    const std::vector<std::pair<QString, std::array<std::uint8_t, 6>>> rows = {
        {QStringLiteral("26/12/05 16:39:05"), {26, 12, 5, 16, 39, 5}},
        {QStringLiteral("27.01.01 00.00.00"), {27, 1, 1, 0, 0, 0}},
        {QStringLiteral("2x/12/05"), {0, 12, 5, 0, 0, 0}}};
    for (const auto& [text, fields] : rows)
        EXPECT_EQ(meterclock::ClockFields(text), fields) << text.toStdString();

    meterlink::Report out{};
    out.fill(0x77);
    meterclock::FillSetClock(out, {26, 12, 5, 16, 39, 5});
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 10), (Bytes{0, 6, 19, 26, 12, 5, 16, 39, 5, 0x77}));
}

TEST(RtcPlacement, CentredAndThousandTwipsDown)
{
    EXPECT_EQ(meterclock::RtcPosition(QRect(100, 50, 600, 400), 300, 96), QPoint(250, 117));
    EXPECT_EQ(meterclock::RtcPosition(QRect(0, 0, 600, 400), 300, 144), QPoint(150, 100));
}

// A meter whose clock answer the test sets.
class ClockMeter : public virtualmeter::VirtualMeter
{
public:
    Bytes clock = {26, 12, 5, 16, 39, 5};

protected:
    void process(const virtualmeter::Report& command) override
    {
        if (command[1] == meterlink::meter::Command && command[2] == meterlink::meter::ReadClock) {
            virtualmeter::Report r{};
            std::copy(clock.begin(), clock.end(), r.begin() + 1);
            return send(r);
        }
        if (command[1] == meterlink::meter::Command && command[2] == meterlink::meter::SetClock) {
            clock.assign(command.begin() + 3, command.begin() + 9);
            return;
        }
        VirtualMeter::process(command);
    }
};

class FakePoll : public ui::PollControl
{
public:
    void setPolling(bool on) override
    {
        m_on = on;
        calls.push_back(on);
    }
    bool polling() const override { return m_on; }
    std::vector<bool> calls;

private:
    bool m_on = true;
};

class RtcTest : public ::testing::Test
{
protected:
    // Opens the window and runs `steps` on it while it is modal, then closes it.
    void run(const std::function<void(meterclock::RtcWindow&)>& steps)
    {
        dialogs.onModal = [&steps](ui::ModalWindow& window) {
            steps(dynamic_cast<meterclock::RtcWindow&>(window));
            return 0;
        };
        meterclock::ShowRtc(services, poll, nullptr);
    }
    static QString text(meterclock::RtcWindow& w, const char* name)
    {
        return w.findChild<QLabel*>(QLatin1String(name))->text();
    }
    std::vector<std::pair<int, int>> commands() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& w : meter.writes())
            out.emplace_back(w[1], w[2]);
        return out;
    }

    ClockMeter meter;
    meterlink::MeterLink link{meter};
    testsupport::FakeDialogs dialogs;
    testsupport::FakeClock clock;
    testsupport::TempRoot root;
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, root.paths, plot, fileState, cmd};
    FakePoll poll;
};

TEST_F(RtcTest, OpensWithTitlesAndSendsNothing)
{
    run([this](meterclock::RtcWindow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Setup"));
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("Meter Time"));
        EXPECT_EQ(text(w, "LblPCTime"), QStringLiteral("PC System Time"));
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("Meter Time"));
        EXPECT_TRUE(poll.calls.empty());
    });
    EXPECT_EQ(dialogs.modalRuns, 1);
    EXPECT_TRUE(meter.writes().empty());
    EXPECT_EQ(poll.calls, std::vector<bool>{true}); // closing always switches the poll on
}

TEST_F(RtcTest, MeterTimeReadsEveryTickAndStopsThePoll)
{
    run([this](meterclock::RtcWindow& w) {
        w.LblMeterTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("26/12/05 16:39:05"));
        EXPECT_FALSE(poll.polling());
        meter.clock = {27, 1, 1, 0, 0, 7};
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("27/01/01 00:00:07"));
        EXPECT_EQ(commands(), (std::vector<std::pair<int, int>>{{6, 28}, {6, 28}}));

        w.LblMeterTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("Meter Time"));
        EXPECT_EQ(meter.writes().size(), 2u);
        EXPECT_FALSE(poll.polling()); // stays off until the window closes
    });
    EXPECT_TRUE(poll.polling());
}

TEST_F(RtcTest, PCTimeFromTheClock)
{
    clock.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    const QChar d = meterclock::SystemSeparators().date;
    run([&](meterclock::RtcWindow& w) {
        w.LblPCTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblPCTime").size(), 17);
        EXPECT_EQ(text(w, "LblPCTime").left(8),
                  QStringLiteral("26") + d + QStringLiteral("12") + d + QStringLiteral("31"));
        w.LblPCTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblPCTime"), QStringLiteral("PC System Time"));
    });
    EXPECT_TRUE(meter.writes().empty());
}

TEST_F(RtcTest, SetSendsOneReportAndReadsNone)
{
    // The link has not found the meter yet: the new time must still reach it.
    run([this](meterclock::RtcWindow& w) {
        const int reads = meter.readCount();
        w.CmdSetTime_Click();
        EXPECT_EQ(meter.readCount(), reads);
        ASSERT_EQ(meter.writes().size(), 1u);
        EXPECT_EQ(Bytes(meter.writes()[0].begin(), meter.writes()[0].begin() + 9),
                  (Bytes{0, 6, 19, 26, 12, 5, 16, 39, 5}));
        w.LblMeterTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("26/12/05 16:39:05"));
    });
}

TEST_F(RtcTest, NoMeterShowsNoStaleTime)
{
    link.ReceivedReport[1] = 11; // an old answer must not appear as the meter's time
    meter.setPlugged(false);
    run([this](meterclock::RtcWindow& w) {
        w.LblMeterTime_Click();
        w.Timer1_Timer();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("--/--/-- --:--:--"));
    });
    EXPECT_TRUE(poll.polling());
}

} // namespace
