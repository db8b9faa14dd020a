// The program's sequences against a meter that goes away, falls silent, slows down or sends
// rubbish, before a sequence or in the middle of it. After each: nothing crashed, no read was
// asked to wait longer than the link's time-out, the connection labels tell the truth, the
// live poll runs again, the meter is picked up once it is back, and no file is half-written.
#include "clock/RtcWindow.h"
#include "files/PcRecorder.h"
#include "link/MeterCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/SetupPictures.h"
#include "panel/Toolbar.h"
#include "tests/hardening/FaultHarness.h"

#include <QFile>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using hardening::FaultyMeter;
using hardening::Program;

const QString NoDevice = QStringLiteral("NoDevice Found!\"");

struct Fault
{
    const char* name;
    std::function<void(FaultyMeter&)> apply;
};

// Faults that show up only when the meter is looked for again come with an unplug and a
// re-plug: the device that appears is a new one.
const std::vector<Fault>& Faults()
{
    static const std::vector<Fault> faults = {
        {"Unplugged", [](FaultyMeter& m) { m.setPlugged(false); }},
        {"Silent", [](FaultyMeter& m) { m.setSilent(true); }},
        {"Slow", [](FaultyMeter& m) { m.setReportDelay(std::chrono::microseconds(300)); }},
        {"Garbage", [](FaultyMeter& m) { m.setGarbage(true); }},
        {"ShortReports", [](FaultyMeter& m) { m.setShortReports(9); }},
        {"IdOnlyReports", [](FaultyMeter& m) { m.setShortReports(1); }},
        {"ReplugWithLongReports",
         [](FaultyMeter& m) {
             m.setPlugged(false);
             m.setPlugged(true);
             m.setDeclaredLengths(meterlink::platform::ReportLengths{129, 129});
         }},
        {"ReplugWithoutLengths",
         [](FaultyMeter& m) {
             m.setPlugged(false);
             m.setPlugged(true);
             m.setDeclaredLengths(std::nullopt);
         }},
        {"ReplugWithShortLengths",
         [](FaultyMeter& m) {
             m.setPlugged(false);
             m.setPlugged(true);
             m.setDeclaredLengths(meterlink::platform::ReportLengths{9, 9});
         }},
        {"UnplugAndBack",
         [](FaultyMeter& m) {
             m.setPlugged(false);
             m.setPlugged(true);
         }},
    };
    return faults;
}

struct Sequence
{
    const char* name;
    std::function<void(Program&)> run;
};

void PressRadio(Program& p, const char* name)
{
    if (auto* option = p.window->findChild<QRadioButton*>(QString::fromLatin1(name)))
        option->setChecked(true);
}

panel::SetupPictures& Setup(Program& p)
{
    return *p.window->findChild<panel::SetupPictures*>();
}

const std::vector<Sequence>& Sequences()
{
    static const std::vector<Sequence> sequences = {
        {"Poll",
         [](Program& p) {
             for (int i = 0; i < 3; ++i)
                 p.window->PollMeter();
         }},
        {"Keys",
         [](Program& p) {
             p.window->sendKey(meterlink::meter::key::Mode);
             p.window->sendKey(meterlink::meter::key::Hold);
             p.window->sendKey(meterlink::meter::key::Hold);
         }},
        {"ReadReservation",
         [](Program& p) {
             PressRadio(p, "OptSetup0");
             Setup(p).CmdSetUpOK_Click();
         }},
        {"ReadCycling",
         [](Program& p) {
             PressRadio(p, "OptSetup1");
             Setup(p).CmdSetUpOK_Click();
         }},
        {"WriteSchedules",
         [](Program& p) {
             Setup(p).CmdResOK_Click();
             Setup(p).CmdCycOK_Click();
         }},
        {"MeterInterval",
         [](Program& p) {
             PressRadio(p, "OptMeter");
             p.dialogs.inputAnswers = {QStringLiteral("5"), QStringLiteral("30")};
             Setup(p).CmdIntvOK_Click();
         }},
        {"ClockRefreshAndSet",
         [](Program& p) {
             meterclock::RtcWindow rtc(p.services, *p.window, p.window.get());
             rtc.Form_Load();
             rtc.LblMeterTime_Click();
             rtc.Timer1_Timer();
             rtc.CmdSetTime_Click();
             rtc.Timer1_Timer();
             rtc.Form_Unload();
         }},
        {"Listing", [](Program& p) { p.logger->Listing(); }},
        {"Download", [](Program& p) { p.logger->GridSet_Click(0); }},
        {"Erase", [](Program& p) { p.logger->EraseAll(); }},
        {"Recording",
         [](Program& p) {
             auto& recorder = p.window->recorder();
             for (int i = 0; i < 4; ++i) {
                 p.window->PollMeter();
                 recorder.sample();
                 p.clock.advance(1);
             }
         }},
    };
    return sequences;
}

using Case = std::tuple<std::size_t, std::size_t, int>; // sequence, fault, commands before it

class FaultInjection : public ::testing::TestWithParam<Case>
{
};

TEST_P(FaultInjection, ProgramRecovers)
{
    const auto [sequenceIndex, faultIndex, faultAfter] = GetParam();
    const Sequence& sequence = Sequences()[sequenceIndex];
    const Fault& fault = Faults()[faultIndex];

    Program p;
    ASSERT_TRUE(p.pollUntilConnected());
    ASSERT_EQ(p.labelText("LblCOM"), QStringLiteral("582"));

    // A download needs a listing first; a recording needs a target.
    const QString target = p.root.paths.root() + QStringLiteral("/session.txt");
    if (std::string(sequence.name) == "Download") {
        p.logger->Listing();
        ASSERT_TRUE(p.window->polling());
    }
    if (std::string(sequence.name) == "Recording") {
        ASSERT_TRUE(p.window->recorder().start(target, 1));
    }
    p.dialogs.messageAnswers.assign(8, ui::MsgAnswer::Ok);
    p.window->setPolling(true);

    p.meter.commandsSeen = 0;
    p.meter.fault = fault.apply;
    p.meter.faultAfter = faultAfter;
    if (faultAfter == 0) {
        fault.apply(p.meter);
        p.meter.faultAfter = -1;
    }
    sequence.run(p);

    for (const int timeout : p.platform.readTimeouts)
        EXPECT_LE(timeout, meterlink::MeterLink::ReadTimeOutMs);

    // The live poll is switched on again when a sequence ends, whatever happened in it.
    EXPECT_TRUE(p.window->polling()) << "after " << sequence.name;

    // A tick while the fault lasts: the labels tell whether the meter answers.
    p.window->PollMeter();
    if (!p.link.Connected()) {
        EXPECT_EQ(p.labelText("LblCOM"), NoDevice);
        EXPECT_FALSE(p.link.handlesOpen());
    } else {
        EXPECT_EQ(p.labelText("LblCOM"), QStringLiteral("582"));
    }
    const QString reason = p.labelText("LblName");
    EXPECT_TRUE(reason.isEmpty() || reason == QStringLiteral("Readfile timeout") ||
                reason == QStringLiteral("Readfile undefined error"))
        << reason.toStdString();

    // The meter comes back: the next ticks pick it up and the display follows it again.
    p.meter.heal();
    ASSERT_TRUE(p.pollUntilConnected()) << "after " << sequence.name << " / " << fault.name;
    EXPECT_EQ(p.labelText("LblCOM"), QStringLiteral("582"));
    EXPECT_TRUE(p.window->polling());
    EXPECT_LE(p.platform.openHandles, 2);
    p.window->PollMeter();
    EXPECT_TRUE(p.link.Connected());

    if (std::string(sequence.name) == "Recording") {
        auto& recorder = p.window->recorder();
        const long long records = recorder.recordCount();
        p.dialogs.messages.clear();
        EXPECT_TRUE(recorder.stop());
        QFile saved(target);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = saved.readAll().split('\n');
        long long recordLines = 0;
        for (const QByteArray& line : lines)
            recordLines += line.size() > 18 && line[4] == '/' && line[17] == ':' ? 1 : 0;
        EXPECT_EQ(recordLines, records);
    }
    EXPECT_TRUE(hardening::LeftoverTemporaries(p.root.paths.root()).isEmpty());
    if (QFile::exists(p.root.paths.downloadFile())) {
        EXPECT_TRUE(hardening::EndsWithCompleteLine(p.root.paths.downloadFile()));
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
