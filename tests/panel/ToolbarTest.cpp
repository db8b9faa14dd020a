#include "panel/Toolbar.h"

#include "panel/PanelWindow.h"
#include "tests/panel/SetupTestSupport.h"
#include "tests/support/ProgramHarness.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

using setuptest::Bench;

TEST(ToolbarKey, EveryClickIsIgnoredWhileTheMeterRecords)
{
    for (const panel::ToolbarButton& b : panel::ToolbarButtons) {
        SCOPED_TRACE(b.name);
        const panel::ToolbarKey key = b.key;
        Bench bench;
        bench.recordOn = true;
        bench.pictures->picSetup()->show();
        bench.picChroma->hide();
        bench.toolbar->click(key);
        bench.toolbar->button(key)->trigger();
        EXPECT_FALSE(bench.pictures->picSetup()->isHidden());
        EXPECT_TRUE(bench.pictures->picIntv()->isHidden());
        EXPECT_TRUE(bench.picChroma->isHidden());
        EXPECT_TRUE(bench.runs.empty());
        EXPECT_TRUE(bench.meter.writes().empty());
        EXPECT_TRUE(bench.poll.calls.empty());
    }
}

TEST(ToolbarKey, ButtonRunsItsCommandAndClosesTheMenu)
{
    for (const panel::ToolbarButton& b : panel::ToolbarButtons) {
        SCOPED_TRACE(b.name);
        const panel::ToolbarKey key = b.key;
        Bench bench;
        bench.pictures->picSetup()->show();
        bench.picChroma->hide();
        bench.toolbar->button(key)->trigger();
        // "Setup" toggles the menu; every other button closes it.
        EXPECT_TRUE(bench.pictures->picSetup()->isHidden());
        EXPECT_EQ(bench.picChroma->isHidden(), key != panel::ToolbarKey::Chroma);
        // The commands registered from outside run once; the others run none.
        const auto run = bench.runs.find(key);
        EXPECT_EQ(bench.runs.size(), run == bench.runs.end() ? 0u : 1u);
        EXPECT_TRUE(run == bench.runs.end() || run->second == 1);
        EXPECT_EQ(bench.pictures->picIntv()->isHidden(), key != panel::ToolbarKey::Interval);
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
    toolbar->click(panel::ToolbarKey::Setup);
    EXPECT_TRUE(menu->isHidden());
    h.meter.model().setRecordFlag(false);
    h.meter.model().setMemoryRecording(true);
    window.pollMeter();
    toolbar->click(panel::ToolbarKey::Setup);
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
