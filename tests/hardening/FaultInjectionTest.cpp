// The program's sequences against a meter that goes away, falls silent, slows down or sends
// rubbish, before a sequence or in the middle of it. After each: nothing crashed, no read was
// asked to wait longer than the link's time-out, the connection labels tell the truth, the
// live poll runs again, the meter is picked up once it is back, and no file is half-written.
#include "clock/RtcWindow.h"
#include "files/PcRecorder.h"
#include "link/MeterCommands.h"
#include "panel/SetupPictures.h"
#include "tests/hardening/FaultHarness.h"

#include <QDirIterator>
#include <QFile>
#include <QRadioButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using hardening::FaultyMeter;
using hardening::Program;
using meterlink::platform::ReportLengths;

template <typename T> struct Named
{
    const char* name;
    std::function<void(T&)> run;
};

// Faults that show up only when the meter is looked for again come with an unplug and a
// re-plug: the device that appears is a new one.
std::function<void(FaultyMeter&)> Replug(std::optional<ReportLengths> lengths)
{
    return [lengths](FaultyMeter& m) {
        m.setPlugged(false);
        m.setPlugged(true);
        m.setDeclaredLengths(lengths);
    };
}

const std::vector<Named<FaultyMeter>>& Faults()
{
    static const std::vector<Named<FaultyMeter>> faults = {
        {"Unplugged", [](FaultyMeter& m) { m.setPlugged(false); }},
        {"Silent", [](FaultyMeter& m) { m.setSilent(true); }},
        {"Slow", [](FaultyMeter& m) { m.setReportDelay(std::chrono::microseconds(300)); }},
        {"Garbage", [](FaultyMeter& m) { m.setGarbage(true); }},
        {"ShortReports", [](FaultyMeter& m) { m.setShortReports(9); }},
        {"IdOnlyReports", [](FaultyMeter& m) { m.setShortReports(1); }},
        {"ReplugWithLongReports", Replug(ReportLengths{129, 129})},
        {"ReplugWithoutLengths", Replug(std::nullopt)},
        {"ReplugWithShortLengths", Replug(ReportLengths{9, 9})},
        {"UnplugAndBack", Replug(ReportLengths{65, 65})},
    };
    return faults;
}

// The set-up picture with one of its options chosen.
panel::SetupPictures& Setup(Program& p, const char* option = nullptr)
{
    if (option)
        p.window->findChild<QRadioButton*>(QString::fromLatin1(option))->setChecked(true);
    return *p.window->findChild<panel::SetupPictures*>();
}

const std::vector<Named<Program>>& Sequences()
{
    static const std::vector<Named<Program>> sequences = {
        {"Poll",
         [](Program& p) {
             for (int i = 0; i < 3; ++i)
                 p.window->pollMeter();
         }},
        {"Keys",
         [](Program& p) {
             p.window->sendKey(meterlink::meter::key::Mode);
             p.window->sendKey(meterlink::meter::key::Hold);
             p.window->sendKey(meterlink::meter::key::Hold);
         }},
        {"ReadReservation", [](Program& p) { Setup(p, "OptSetup0").runSetupChoice(); }},
        {"ReadCycling", [](Program& p) { Setup(p, "OptSetup1").runSetupChoice(); }},
        {"WriteSchedules",
         [](Program& p) {
             Setup(p).writeReservation();
             Setup(p).writeCycling();
         }},
        {"MeterInterval",
         [](Program& p) {
             p.dialogs.inputAnswers = {QStringLiteral("5"), QStringLiteral("30")};
             Setup(p, "OptMeter").setSamplingTime();
         }},
        {"ClockRefreshAndSet",
         [](Program& p) {
             p.withClock([](meterclock::RtcWindow& rtc) {
                 rtc.toggleMeterTime();
                 rtc.refreshClocks();
                 rtc.setMeterTime();
                 rtc.refreshClocks();
             });
         }},
        {"Listing", [](Program& p) { p.logger().listMemory(); }},
        {"Download", [](Program& p) { p.logger().downloadSet(0); }},
        {"Erase", [](Program& p) { p.logger().eraseAll(); }},
        {"Recording",
         [](Program& p) {
             for (int i = 0; i < 4; ++i) {
                 p.window->pollMeter();
                 p.program->recorder().sample();
                 p.clock.advance(1);
             }
         }},
    };
    return sequences;
}

// Temporary names of atomic saves ("<name>.XXXXXX", as QSaveFile writes them) under `folder`.
QStringList LeftoverTemporaries(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.??????")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

using Case = std::tuple<std::size_t, std::size_t, int>; // sequence, fault, commands before it

class FaultInjection : public ::testing::TestWithParam<Case>
{
};

TEST_P(FaultInjection, ProgramRecovers)
{
    const auto [sequenceIndex, faultIndex, faultAfter] = GetParam();
    const std::string sequence = Sequences()[sequenceIndex].name;
    const auto& fault = Faults()[faultIndex];

    Program p;
    ASSERT_TRUE(p.pollUntilConnected());
    // A download needs a listing first; a recording needs a target.
    const QString target = p.root.paths.root() + QStringLiteral("/session.txt");
    if (sequence == "Download")
        p.logger().listMemory();
    if (sequence == "Recording") {
        ASSERT_TRUE(p.program->recorder().start(target, 1));
    }
    p.dialogs.messageAnswers.assign(8, ui::MsgAnswer::Ok);

    p.meter.commandsSeen = 0;
    p.meter.fault = fault.run;
    p.meter.faultAfter = faultAfter;
    if (faultAfter == 0) {
        fault.run(p.meter);
        p.meter.faultAfter = -1;
    }
    Sequences()[sequenceIndex].run(p);

    for (const int timeout : p.meter.readTimeouts)
        EXPECT_LE(timeout, meterlink::MeterLink::ReadTimeOutMs);
    // The live poll is switched on again when a sequence ends, whatever happened in it.
    EXPECT_TRUE(testsupport::LivePollRunning(*p.window));

    // A tick while the fault lasts: the labels tell whether the meter answers.
    p.window->pollMeter();
    EXPECT_EQ(p.labelText("LblCOM"),
              p.connected() ? QStringLiteral("582") : QStringLiteral("NoDevice Found!\""));
    EXPECT_TRUE(p.connected() || !p.program->link().handlesOpen());
    EXPECT_TRUE(QStringList({QString(), QStringLiteral("Readfile timeout"),
                             QStringLiteral("Readfile undefined error")})
                    .contains(p.labelText("LblName")))
        << p.labelText("LblName").toStdString();

    // The meter comes back: the next ticks pick it up and the display follows it again.
    p.meter.heal();
    ASSERT_TRUE(p.pollUntilConnected());
    EXPECT_EQ(p.labelText("LblCOM"), QStringLiteral("582"));
    EXPECT_LE(p.meter.openHandles, 2);
    p.window->pollMeter();
    EXPECT_TRUE(p.connected());

    if (sequence == "Recording") {
        const long long records = p.program->recorder().recordCount();
        EXPECT_TRUE(p.program->recorder().stop());
        QFile saved(target);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = saved.readAll().split('\n');
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const QByteArray& l) {
                                    return l.size() > 18 && l[4] == '/' && l[17] == ':';
                                }),
                  records);
    }
    EXPECT_EQ(LeftoverTemporaries(p.root.paths.root()), QStringList());
    QFile download(p.root.paths.downloadFile());
    if (download.open(QIODevice::ReadOnly)) {
        const QByteArray text = download.readAll();
        EXPECT_TRUE(text.isEmpty() || text.endsWith("\r\n"));
    }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    const auto [s, f, after] = info.param;
    return std::string(Sequences()[s].name) + "_" + Faults()[f].name + "_After" +
           std::to_string(after);
}

INSTANTIATE_TEST_SUITE_P(All, FaultInjection,
                         ::testing::Combine(::testing::Range<std::size_t>(0, Sequences().size()),
                                            ::testing::Range<std::size_t>(0, Faults().size()),
                                            ::testing::Values(0, 1, 2)),
                         CaseName);

} // namespace
