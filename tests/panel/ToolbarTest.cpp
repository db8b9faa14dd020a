#include "panel/Toolbar.h"

#include "panel/PanelWindow.h"
#include "tests/panel/SetupTestSupport.h"
#include "tests/support/ProgramHarness.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

using setuptest::Bench;

const QStringList AllKeys = {"Save", "Open",   "Interval", "List",  "Graph",
                             "RTC",  "Logger", "Setup",    "Erase", "Chroma"};

TEST(ToolbarKey, EveryClickIsIgnoredWhileTheMeterRecords)
{
    for (const QString& key : AllKeys) {
        SCOPED_TRACE(key.toStdString());
        Bench bench;
        bench.recordOn = true;
        bench.pictures->picSetup()->show();
        bench.picChroma->hide();
        bench.toolbar->click(key);
        bench.toolbar->button(key)->trigger();
        EXPECT_FALSE(bench.pictures->picSetup()->isHidden());
        EXPECT_TRUE(bench.pictures->picIntv()->isHidden());
        EXPECT_TRUE(bench.picChroma->isHidden());
        EXPECT_TRUE(bench.runs.isEmpty());
        EXPECT_TRUE(bench.meter.writes().empty());
        EXPECT_TRUE(bench.poll.calls.empty());
    }
}

TEST(ToolbarKey, ButtonRunsItsCommandAndClosesTheMenu)
{
    for (const QString& key : AllKeys) {
        SCOPED_TRACE(key.toStdString());
        Bench bench;
        bench.pictures->picSetup()->show();
        bench.picChroma->hide();
        bench.toolbar->button(key)->trigger();
        // "Setup" toggles the menu; every other button closes it.
        EXPECT_TRUE(bench.pictures->picSetup()->isHidden());
        EXPECT_EQ(bench.picChroma->isHidden(), key != QLatin1String("Chroma"));
        const bool counted = bench.runs.contains(key);
        EXPECT_EQ(bench.runs.value(key), counted ? 1 : 0);
        EXPECT_EQ(bench.runs.size(), counted ? 1 : 0);
        EXPECT_EQ(bench.pictures->picIntv()->isHidden(), key != QLatin1String("Interval"));
        EXPECT_TRUE(bench.meter.writes().empty());
    }
}

// The whole main window: the toolbar dispatch reaches the pictures it hosts and the meter.
TEST(PanelToolbar, SetupMenuThroughTheMainWindow)
{
    testsupport::ProgramHarness<> h;
    panel::PanelWindow& window = *h.window;
    panel::MainToolbar* toolbar = window.toolbar();
    auto* menu = window.findChild<QWidget*>(QStringLiteral("PicSetup"));
    auto* cycling = window.findChild<QWidget*>(QStringLiteral("PicCycling"));
    ASSERT_TRUE(toolbar && menu && cycling);

    h.meter.model().setRecordFlag(true);
    window.pollMeter();
    toolbar->click(QStringLiteral("Setup"));
    EXPECT_TRUE(menu->isHidden());
    h.meter.model().setRecordFlag(false);
    h.meter.model().setMemoryRecording(true);
    window.pollMeter();
    toolbar->click(QStringLiteral("Setup"));
    ASSERT_FALSE(menu->isHidden());

    h.meter.clearWrites();
    window.findChild<QRadioButton*>(QStringLiteral("OptSetup1"))->setChecked(true);
    window.findChild<QPushButton*>(QStringLiteral("CmdSetUpOK"))->click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(testsupport::CommandCodes(h.meter), (std::vector<int>{35, 15}));
    EXPECT_FALSE(cycling->isHidden());
    EXPECT_TRUE(menu->isHidden());
    EXPECT_TRUE(testsupport::LivePollRunning(window));

    window.findChild<QPushButton*>(QStringLiteral("CmdCycOK"))->click();
    EXPECT_EQ(testsupport::CommandCodes(h.meter), (std::vector<int>{35, 15, 21}));
    EXPECT_EQ(h.meter.writes().back()[10], 44); // the interval read, 300 s, written back
    EXPECT_TRUE(testsupport::LivePollRunning(window));
}

} // namespace
