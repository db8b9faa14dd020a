#include "panel/PanelWindow.h"

#include "FrameBuilder.h"
#include "link/MeterCommands.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/DisplayState.h"
#include "panel/ReferenceView.h"
#include "tests/support/ProgramHarness.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using paneltest::FrameBuilder;

class PanelTest : public ::testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    // The meter answers the poll with the frame the test sets.
    PanelTest()
    {
        meter.setAnswer(meterlink::meter::Poll, 0, [this](const virtualmeter::Report&) {
            if (!meter.model().poweredOn())
                return std::vector<virtualmeter::Report>();
            std::vector<virtualmeter::Report> halves(dropSecondReport ? 1 : 2);
            for (std::size_t i = 0; i < halves.size(); ++i)
                std::copy_n(frame.begin() + 64 * static_cast<long>(i), 64, halves[i].begin() + 1);
            return halves;
        });
    }
    template <typename T = QWidget> T* child(const QString& name) const
    {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString text(const QString& name) const { return child<QLabel>(name)->text(); }
    bool shown(const QString& name) const { return !child(name)->isHidden(); }
    // The four digit boxes of a reference view, "_" for an empty one.
    QString digits(const char* prefix) const
    {
        QString result;
        for (int i = 0; i < 4; ++i) {
            const QString digit =
                child<QComboBox>(QStringLiteral("%1(%2)").arg(QLatin1String(prefix)).arg(i))
                    ->currentText();
            result += digit.isEmpty() ? QStringLiteral("_") : digit;
        }
        return result;
    }
    void openReference(const char* option) const
    {
        child<QPushButton>(QStringLiteral("Command12"))->click();
        child<QRadioButton>(QLatin1String(option))->click();
    }
    void tick(const FrameBuilder& b)
    {
        frame = b.frame;
        window->pollMeter();
    }

    meterlink::Frame frame{};
    bool dropSecondReport = false;
};

FrameBuilder liveFrame(int mode)
{
    FrameBuilder b;
    b.u32(1, 1234567).u32(5, 2345678).u32(9, 3456789).u32(13, 1500000);
    b.u16(17, 3127).u16(19, 3290).u16(25, 5723).u16(27, 1234).u32(39, 6504);
    b.u32(49, 1234000).u16(57, 3127).u16(59, 3290).u16(61, 1978).u16(63, 4683);
    b.u16(81, 2014).byte(83, 5).byte(86, 3).byte(87, 45).byte(88, 2).byte(89, 7).byte(94, 2);
    return b.mode(mode);
}

TEST_F(PanelTest, StartUpEmptiesTheStartUpFileAndSendsNothing)
{
    QFile startup(root.paths.startupFile());
    ASSERT_TRUE(startup.exists());
    EXPECT_EQ(startup.size(), 0);
    // Nothing reached the meter before the first tick.
    EXPECT_TRUE(meter.writes().empty());

    // A start-up file left over is emptied.
    ASSERT_TRUE(startup.open(QIODevice::WriteOnly));
    startup.write("left over");
    startup.close();
    start();
    EXPECT_EQ(QFile(root.paths.startupFile()).size(), 0);
}

// The last frame's numbers stay, greyed, while no frame arrives; the reason goes when frames
// return.
TEST_F(PanelTest, AbsentMeterShowsNoDeviceAndGreysTheLastNumbers)
{
    const auto live = [this] {
        return child(QStringLiteral("VX"))->isEnabled() &&
               child(QStringLiteral("LblX"))->isEnabled();
    };
    tick(liveFrame(0));
    ASSERT_EQ(text(QStringLiteral("LblCOM")), "582");
    EXPECT_FALSE(shown(QStringLiteral("PicNoCom")));
    EXPECT_TRUE(live());
    meter.setPlugged(false);
    tick(liveFrame(4));
    EXPECT_EQ(text(QStringLiteral("LblCOM")), "NoDevice Found!\"");
    EXPECT_FALSE(live());
    // The failing write took the link down; the next tick searches and finds nothing.
    tick(liveFrame(4));
    EXPECT_EQ(text(QStringLiteral("LblCOM")), "NoDevice Found!\"");
    EXPECT_TRUE(shown(QStringLiteral("PicNoCom")));
    EXPECT_EQ(text(QStringLiteral("LblFX")), "Ev");
    EXPECT_EQ(text(QStringLiteral("VX")), "150.0");
    EXPECT_FALSE(live());
    // Plugged in again: a later tick finds it.
    meter.setPlugged(true);
    tick(liveFrame(4));
    EXPECT_EQ(text(QStringLiteral("LblCOM")), "582");
    EXPECT_FALSE(shown(QStringLiteral("PicNoCom")));
    EXPECT_EQ(text(QStringLiteral("LblFX")), "X");
    EXPECT_TRUE(live());
    // A meter switched off: the read times out and names the reason until frames return.
    window->sendKey(meterlink::meter::key::PowerOff);
    tick(liveFrame(0));
    EXPECT_EQ(text(QStringLiteral("LblName")), "Readfile timeout");
    EXPECT_EQ(text(QStringLiteral("LblCOM")), "NoDevice Found!\"");
    EXPECT_FALSE(live());
    window->sendKey(meterlink::meter::key::Mode);
    tick(liveFrame(0));
    EXPECT_EQ(text(QStringLiteral("LblName")), "");
    EXPECT_TRUE(live());
}

TEST_F(PanelTest, TickWritesEveryPartOfTheDisplay)
{
    tick(liveFrame(2));
    EXPECT_EQ(text(QStringLiteral("VX")), "150.0");
    EXPECT_EQ(text(QStringLiteral("VZ")), "0.1234");
    EXPECT_EQ(text(QStringLiteral("LblKnm")), "nm");
    EXPECT_EQ(text(QStringLiteral("LblUnit")), "lx");
    EXPECT_TRUE(shown(QStringLiteral("ImaLenda")));
    EXPECT_FALSE(shown(QStringLiteral("ImaDeltaX")));
    EXPECT_EQ(text(QStringLiteral("LblTime")), "14\\05");
    EXPECT_EQ(text(QStringLiteral("LblMemCnt")), "07");
    for (int i = 0; i < panel::BatterySegments; ++i)
        EXPECT_EQ(shown(QStringLiteral("ImgBt(%1)").arg(i)), i >= 2) << i;
    EXPECT_EQ(text(QStringLiteral("LblX")), "123.4");
    EXPECT_EQ(text(QStringLiteral("LblDeltauv")), "0.000");
    EXPECT_FALSE(shown(QStringLiteral("PicSet")));
    // A battery byte above six hides the whole gauge and the poll goes on.
    tick(liveFrame(0).byte(94, 200));
    for (int i = 0; i < panel::BatterySegments; ++i)
        EXPECT_FALSE(shown(QStringLiteral("ImgBt(%1)").arg(i))) << i;
    EXPECT_TRUE(testsupport::LivePollRunning(*window));
}

TEST_F(PanelTest, IndicatorsAndMemoryFull)
{
    const char* indicators[] = {"LblM", "LblA", "LblSD", "LblR", "LblIntv", "LblCF", "LblH"};
    tick(liveFrame(0).byte(93, 0x11).byte(95, 0x4F).byte(96, 1));
    for (const char* name : indicators)
        EXPECT_TRUE(shown(QLatin1String(name))) << name;
    EXPECT_EQ(text(QStringLiteral("LblMemCnt")), "FU");
    EXPECT_TRUE(window->recordOn());
    tick(liveFrame(0).byte(95, 0x80));
    for (const char* name : indicators)
        EXPECT_FALSE(shown(QLatin1String(name))) << name;
    EXPECT_FALSE(window->recordOn());
    // The meter records into its memory: the set-up menu asks before it goes on.
    dialogs.messageAnswers = {ui::MsgAnswer::Cancel};
    child<QPushButton>(QStringLiteral("CmdSetUpOK"))->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Error! Memory in procceeding, continue?");
}

TEST_F(PanelTest, MeterSetUpFreezesTheDisplay)
{
    tick(liveFrame(0));
    QSignalSpy decoded(window, &panel::PanelWindow::frameDecoded);
    tick(liveFrame(4).byte(91, 1).byte(95, 0x40));
    EXPECT_TRUE(shown(QStringLiteral("PicSet")));
    EXPECT_EQ(text(QStringLiteral("LblFX")), "Ev");
    EXPECT_TRUE(window->recordOn()); // the flags still follow the meter
    EXPECT_EQ(decoded.count(), 1);
    tick(liveFrame(4));
    EXPECT_FALSE(shown(QStringLiteral("PicSet")));
    EXPECT_EQ(text(QStringLiteral("LblFX")), "X");
}

TEST_F(PanelTest, LostSecondReportKeepsTheDisplayInsteadOfMixingReports)
{
    tick(liveFrame(0));
    QSignalSpy decoded(window, &panel::PanelWindow::frameDecoded);
    dropSecondReport = true;
    tick(liveFrame(4).u32(1, 1));
    EXPECT_EQ(decoded.count(), 0);
    EXPECT_EQ(text(QStringLiteral("LblCOM")), "NoDevice Found!\"");
    EXPECT_EQ(text(QStringLiteral("LblFX")), "Ev");
    dropSecondReport = false;
    tick(liveFrame(4));
    EXPECT_EQ(text(QStringLiteral("LblFX")), "X");
}

// Whatever an earlier command left in the request or on the wire, each tick sends a clean poll
// and decodes a whole frame.
TEST_F(PanelTest, AfterAnyStrayReportTheTicksDecodeWholeFrames)
{
    QTest::mouseClick(child<QToolButton>(QStringLiteral("Logger")), Qt::LeftButton);
    QWidget* memory = program->logger().memoryWindow();
    ASSERT_NE(memory, nullptr);
    virtualmeter::Report garbage;
    garbage.fill(0xA5);
    // The space bar, as a button's label may not lie under its centre.
    const auto press = [](QWidget* parent, const char* name) {
        QTest::keyClick(parent->findChild<QAbstractButton*>(QLatin1String(name)), Qt::Key_Space);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> strays = {
        {"Lux", [&] { press(memory, "OptLuxFc0"); }},
        {"Fc", [&] { press(memory, "OptLuxFc1"); }},
        // The clock set's, which nobody reads.
        {"LateAcknowledgement",
         [&] {
             meter.queueReport(virtualmeter::Report{0, 6, 19});
         }},
        {"GarbageReport", [&] { meter.queueReport(garbage); }},
    };
    std::vector<std::uint8_t> pollRequest(65, 0);
    pollRequest[1] = meterlink::meter::Poll;
    for (const auto& [name, stray] : strays) {
        SCOPED_TRACE(name);
        stray();
        for (const int mode : {4, 0}) {
            meter.clearWrites();
            tick(liveFrame(mode));
            EXPECT_EQ(meter.writes(), std::vector<std::vector<std::uint8_t>>{pollRequest});
            EXPECT_FALSE(shown(QStringLiteral("PicSet")));
            EXPECT_EQ(text(QStringLiteral("LblFX")), mode == 4 ? "X" : "Ev");
        }
    }
    EXPECT_EQ(text(QStringLiteral("LblName")), "");
}

TEST_F(PanelTest, KeysSendTheirCodeWithThePollPaused)
{
    tick(liveFrame(0)); // connected
    std::vector<bool> pollingAtWrite;
    meter.setOnCommand([&](const virtualmeter::Report&) {
        pollingAtWrite.push_back(testsupport::LivePollRunning(*window));
    });
    for (const panel::PanelKey& key : panel::PanelKeys) {
        SCOPED_TRACE(key.name);
        meter.clearWrites();
        pollingAtWrite.clear();
        QTest::mouseClick(child<QPushButton>(QLatin1String(key.name)), Qt::LeftButton);
        ASSERT_EQ(meter.writes().size(), 1u);
        const auto& w = meter.writes().front();
        EXPECT_EQ(w[0], 0);
        EXPECT_EQ(w[1], meterlink::meter::Command);
        EXPECT_EQ(w[2], key.code);
        EXPECT_EQ(pollingAtWrite, std::vector<bool>{false});
        EXPECT_TRUE(testsupport::LivePollRunning(*window));
    }
    meter.setOnCommand(nullptr);
}

TEST_F(PanelTest, SetupKeyTogglesTheReferencePicture)
{
    auto* setup = child<QPushButton>(QStringLiteral("Command12"));
    QTest::mouseClick(setup, Qt::LeftButton);
    EXPECT_TRUE(shown(QStringLiteral("PicRef")));
    QTest::mouseClick(setup, Qt::LeftButton);
    EXPECT_FALSE(shown(QStringLiteral("PicRef")));
    EXPECT_TRUE(meter.writes().empty());
}

TEST_F(PanelTest, ReferenceViewsTakeTheLastFrameDigits)
{
    tick(liveFrame(12)); // reference Ev 123.4 lx, x 0.3127, y 0.3290, u' 0.1978, v' 0.4683
    meter.clearWrites();
    openReference("OptXY");
    EXPECT_FALSE(shown(QStringLiteral("PicRef")));
    EXPECT_TRUE(shown(QStringLiteral("PicXY")));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("FrmEvxy"))->title(), "Ev (lx)");
    EXPECT_EQ(digits("ComboEvxy"), "1234");
    EXPECT_EQ(digits("ComboEvx"), "3127");
    EXPECT_EQ(digits("ComboEvy"), "329_");

    // Typed digits are overwritten when the view opens again, now in fc.
    child<QComboBox>(QStringLiteral("ComboEvx(0)"))->setEditText(QStringLiteral("9"));
    child<QComboBox>(QStringLiteral("ComboRefLxFc"))->setCurrentIndex(1);
    child<QPushButton>(QStringLiteral("CmdXYZOK"))->click();
    EXPECT_FALSE(shown(QStringLiteral("PicXY")));
    openReference("OptXY");
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("FrmEvxy"))->title(), "Ev (fc)");
    EXPECT_EQ(digits("ComboEvx"), "3127");

    openReference("Optuv");
    EXPECT_TRUE(shown(QStringLiteral("Picuv")));
    EXPECT_EQ(digits("ComboEvu"), "1978");
    EXPECT_EQ(digits("ComboEvv"), "4683");
    child<QPushButton>(QStringLiteral("ExitEvuv"))->click();
    EXPECT_FALSE(shown(QStringLiteral("Picuv")));
    EXPECT_FALSE(shown(QStringLiteral("PicRef"))); // Exit does not reopen the choice

    // The temperature view keeps what was typed.
    child<QComboBox>(QStringLiteral("DigitTCP(0)"))->setEditText(QStringLiteral("7"));
    openReference("OptTcp");
    EXPECT_TRUE(shown(QStringLiteral("PicTcp")));
    EXPECT_EQ(child<QComboBox>(QStringLiteral("DigitTCP(0)"))->currentText(), "7");
    child<QPushButton>(QStringLiteral("CmdTcpOK"))->click();
    EXPECT_FALSE(shown(QStringLiteral("PicTcp")));
    // Nothing of the reference pictures reaches the meter.
    EXPECT_TRUE(meter.writes().empty());
}

// The unit is chosen from the list, never typed; the keyboard still moves through it and on.
TEST_F(PanelTest, ReferenceUnitListTakesNoTypingButTheKeysThatMove)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    child<QPushButton>(QStringLiteral("Command12"))->click();
    auto* units = child<QComboBox>(QStringLiteral("ComboRefLxFc"));
    units->setFocus();
    const struct
    {
        Qt::Key key;
        const char* unit;
    } rows[] = {{Qt::Key_F, "lx"}, {Qt::Key_Down, "fc"}, {Qt::Key_L, "fc"}, {Qt::Key_Up, "lx"}};
    for (const auto& row : rows) {
        QTest::keyClick(units, row.key);
        EXPECT_EQ(units->currentText(), row.unit) << row.key;
    }
    QTest::keyClick(units, Qt::Key_Tab);
    EXPECT_FALSE(units->hasFocus());
}

TEST_F(PanelTest, CommaSeparatorReachesTheDisplayAndTheReferenceDigits)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    start();
    QLocale::setDefault(previous);
    tick(liveFrame(12));
    EXPECT_EQ(text(QStringLiteral("VX")), "123,4");
    EXPECT_EQ(text(QStringLiteral("LblEvX")), "0,3127");
    openReference("OptXY");
    EXPECT_EQ(digits("ComboEvxy"), "1234");
    EXPECT_EQ(digits("ComboEvx"), "3127");
}

} // namespace
