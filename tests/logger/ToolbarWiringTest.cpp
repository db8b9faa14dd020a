#include "clock/RtcWindow.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "logger/SetListModel.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/PanelHarness.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// The main window's toolbar reaches the clock window and the logger commands.
class ToolbarWiringTest : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    ToolbarWiringTest()
    {
        virtualmeter::StoredSet set;
        set.start = {2026, 12, 5, 16, 39, 5};
        set.text = "Set text\r\n";
        meter.model().memory().setSets({set});
    }

    panel::PanelWindow window{services};
};

TEST_F(ToolbarWiringTest, RtcRunsModalAndLeavesThePollOn)
{
    bool pollDuringRead = true;
    dialogs.onModal = [&](ui::ModalWindow& modal) {
        auto& rtc = dynamic_cast<meterclock::RtcWindow&>(modal);
        EXPECT_TRUE(window.polling()); // opening alone does not stop the poll
        rtc.LblMeterTime_Click();
        rtc.Timer1_Timer();
        pollDuringRead = window.polling();
        return 0;
    };
    window.toolbar()->click(QStringLiteral("RTC"));
    EXPECT_EQ(dialogs.modalRuns, 1);
    EXPECT_FALSE(pollDuringRead);
    EXPECT_TRUE(window.polling());
}

// The ordinary virtual meter, with its own memory model, as --demo runs it.
TEST_F(ToolbarWiringTest, LoggerListsDownloadsAndEraseAsksFirst)
{
    window.toolbar()->click(QStringLiteral("Logger"));
    auto* memory = window.loggerCommands().memoryWindow();
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->windowTitle(), QStringLiteral("Data Logger"));
    EXPECT_EQ(memory->sets().cellText(1, 1), QStringLiteral("2026/12/05 16:39:05"));
    EXPECT_TRUE(window.polling());
    EXPECT_TRUE(window.toolbar()->isEnabled());
    window.loggerCommands().GridSet_Click(1);
    QFile file(root.paths.downloadFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("Set text\r\n"));
    EXPECT_EQ(text.size(), 64 + 2);
    EXPECT_TRUE(dialogs.messages.empty());

    meter.clearWrites();
    dialogs.messageAnswers.push_back(ui::MsgAnswer::Cancel);
    window.toolbar()->click(QStringLiteral("Erase"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("All the data in memory will be deleted!"));
    EXPECT_TRUE(meter.writes().empty());
}

} // namespace
