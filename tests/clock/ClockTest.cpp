#include "clock/ClockTexts.h"
#include "clock/RtcWindow.h"
#include "link/MeterCommands.h"
#include "tests/support/PanelHarness.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ClockTexts, MeterAndPCTimeInTwoDigitFields)
{
    const std::vector<std::pair<Bytes, QString>> meterRows = {
        {{26, 12, 5, 16, 39, 5}, QStringLiteral("26/12/05 16:39:05")},
        {{0, 0, 0, 0, 0, 0}, QStringLiteral("00/00/00 00:00:00")},
        {{123, 255, 100, 99, 9, 10}, QStringLiteral("23/55/00 99:09:10")}};
    for (const auto& [answer, text] : meterRows) {
        meterlink::Report r{};
        std::copy(answer.begin(), answer.end(), r.begin() + 1);
        EXPECT_EQ(meterclock::MeterTimeText(meterlink::Answer(r)), text);
    }
    // The century is dropped; always seventeen characters.
    const meterclock::Separators slash{};
    const meterclock::Separators dots{QLatin1Char('.'), QLatin1Char('.')};
    const std::vector<std::tuple<QDateTime, meterclock::Separators, QString>> pcRows = {
        {QDateTime(QDate(2026, 12, 5), QTime(16, 39, 5)), slash, "26/12/05 16:39:05"},
        {QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)), slash, "26/12/31 23:59:59"},
        {QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)), slash, "27/01/01 00:00:00"},
        {QDateTime(QDate(2026, 12, 5), QTime(9, 5, 0)), dots, "26.12.05 09.05.00"}};
    for (const auto& [now, separators, text] : pcRows)
        EXPECT_EQ(meterclock::PCTimeText(now, separators), text);
}

TEST(SetClock, SixBytesFromThePCTime)
{
    const std::vector<std::pair<QString, std::array<std::uint8_t, 6>>> rows = {
        {QStringLiteral("26/12/05 16:39:05"), {26, 12, 5, 16, 39, 5}},
        {QStringLiteral("27.01.01 00.00.00"), {27, 1, 1, 0, 0, 0}},
        {QStringLiteral("2x/12/05"), {0, 12, 5, 0, 0, 0}}};
    for (const auto& [text, fields] : rows)
        EXPECT_EQ(meterclock::ClockFields(text), fields) << text.toStdString();
}

class RtcTest : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    RtcTest()
    {
        meter.setClock([this] { return m_now; });
        setMeterClock({2026, 12, 5, 16, 39, 5});
    }
    void setMeterClock(const virtualmeter::CalendarTime& time)
    {
        meter.model().setMeterTime(time, m_now);
    }
    // Opens the window and runs `steps` on it while it is modal, then closes it.
    void run(const std::function<void(meterclock::RtcWindow&)>& steps)
    {
        dialogs.onModal = [&steps](ui::ModalWindow& window) {
            steps(dynamic_cast<meterclock::RtcWindow&>(window));
            return 0;
        };
        meterclock::ShowRtc(runner, clock, dialogs, nullptr);
    }
    static QString text(meterclock::RtcWindow& w, const char* name)
    {
        return w.findChild<QLabel*>(QLatin1String(name))->text();
    }
    const std::chrono::system_clock::time_point m_now{std::chrono::seconds{1796000000}};
};

TEST_F(RtcTest, MeterTimeReadsEveryTickAndStopsThePoll)
{
    run([this](meterclock::RtcWindow& w) {
        w.toggleMeterTime();
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("26/12/05 16:39:05"));
        EXPECT_FALSE(poll.polling());
        setMeterClock({2027, 1, 1, 0, 0, 7});
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("27/01/01 00:00:07"));
        EXPECT_EQ(commands(), (std::vector<std::pair<int, int>>{{6, 28}, {6, 28}}));

        w.toggleMeterTime();
        w.refreshClocks();
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
        w.togglePcTime();
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblPCTime").size(), 17);
        EXPECT_EQ(text(w, "LblPCTime").left(8),
                  QStringLiteral("26") + d + QStringLiteral("12") + d + QStringLiteral("31"));
        w.togglePcTime();
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblPCTime"), QStringLiteral("PC System Time"));
    });
    EXPECT_TRUE(meter.writes().empty());
}

TEST_F(RtcTest, SetSendsOneReportAndReadsNone)
{
    // The link has not found the meter yet: the new time must still reach it.
    setMeterClock({2027, 1, 1, 0, 0, 7});
    run([this](meterclock::RtcWindow& w) {
        const int reads = meter.readCount();
        w.setMeterTime();
        EXPECT_EQ(meter.readCount(), reads);
        ASSERT_EQ(meter.writes().size(), 1u);
        EXPECT_EQ(Bytes(meter.writes()[0].begin(), meter.writes()[0].begin() + 9),
                  (Bytes{0, 6, 19, 26, 12, 5, 16, 39, 5}));
        w.toggleMeterTime();
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("26/12/05 16:39:05"));
    });
    // Closed right after a set, the window drops the meter's acknowledgement before the poll
    // resumes, so that the poll does not take it for half a frame.
    run([](meterclock::RtcWindow& w) { w.setMeterTime(); });
    EXPECT_EQ(meter.pendingReports(), 0u);
    EXPECT_TRUE(poll.polling());
}

TEST_F(RtcTest, NoMeterShowsNoStaleTime)
{
    meter.setPlugged(false);
    run([this](meterclock::RtcWindow& w) {
        w.toggleMeterTime();
        w.refreshClocks();
        EXPECT_EQ(text(w, "LblMeterTime"), QStringLiteral("--/--/-- --:--:--"));
    });
    EXPECT_TRUE(poll.polling());
}

} // namespace
