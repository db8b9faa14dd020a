#include "clock/RtcWindow.h"
#include "link/MeterCommands.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "logger/SetDownload.h"
#include "logger/SetListModel.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The main window's toolbar reaches the clock window and the logger commands.
class ToolbarWiringTest : public ::testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    ToolbarWiringTest()
    {
        virtualmeter::StoredSet set;
        set.start = {2026, 12, 5, 16, 39, 5};
        set.text = "Set text\r\n";
        meter.model().memory().setSets({set});
    }
};

TEST_F(ToolbarWiringTest, RtcRunsModalAndLeavesThePollOn)
{
    bool pollDuringRead = true;
    dialogs.onModal = [&](ui::ModalWindow& modal) {
        auto& rtc = dynamic_cast<meterclock::RtcWindow&>(modal);
        EXPECT_TRUE(testsupport::LivePollRunning(*window)); // opening alone does not stop the poll
        rtc.toggleMeterTime();
        rtc.refreshClocks();
        pollDuringRead = testsupport::LivePollRunning(*window);
        return 0;
    };
    window->toolbar()->click(panel::ToolbarKey::Rtc);
    EXPECT_EQ(dialogs.modalRuns, 1);
    EXPECT_FALSE(pollDuringRead);
    EXPECT_TRUE(testsupport::LivePollRunning(*window));
}

// The toolbar's Erase opens no window, whatever the answer; an open one lists the memory as it
// is afterwards.
TEST_F(ToolbarWiringTest, EraseAsksFirstAndAnOpenMemoryWindowShowsWhatIsLeft)
{
    const auto set = meter.model().memory().sets();
    dialogs.messageAnswers = {ui::MsgAnswer::Cancel, ui::MsgAnswer::Ok, ui::MsgAnswer::Ok};
    for (const char* answer : {"Cancel", "OK"}) {
        window->toolbar()->click(panel::ToolbarKey::Erase);
        EXPECT_EQ(program->logger().memoryWindow(), nullptr) << answer;
    }
    const auto& asked = dialogs.messages[0];
    EXPECT_TRUE(
        asked.text.startsWith(QStringLiteral("All the data in memory will be deleted!\nThe ")));
    EXPECT_EQ(asked.icon, ui::MsgIcon::None);
    EXPECT_TRUE(asked.title.isEmpty());
    EXPECT_TRUE(meter.model().memory().sets().empty());
    meter.model().memory().setSets(set);

    window->toolbar()->click(panel::ToolbarKey::Logger);
    auto* memory = program->logger().memoryWindow();
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->sets().rowCount(), 2);
    window->toolbar()->click(panel::ToolbarKey::Erase);
    EXPECT_TRUE(memory->isVisible());
    EXPECT_EQ(memory->sets().rowCount(), 1);
    EXPECT_EQ(memory->findChild<QProgressBar*>(QStringLiteral("MSize"))->value(), 0);
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

// A download refused or stopped midway, through the real windows.
struct DownloadRow
{
    const char* name;
    std::uint64_t capacity, claimed; // as the meter reports them
    bool unplugMidway;               // after the first data report
    QString message;
};

class DownloadTest : public ::testing::TestWithParam<DownloadRow>,
                     protected testsupport::ProgramHarness<>
{
};

TEST_P(DownloadTest, SavesNothingAndLeavesTheLinkInStep)
{
    const DownloadRow& row = GetParam();
    virtualmeter::StoredSet set;
    set.start = {2026, 12, 5, 16, 39, 5};
    set.text = std::string(std::min<std::uint64_t>(row.claimed, 1 << 20), 'a');
    meter.model().memory().setSets({set});
    meter.model().memory().setCapacity(row.capacity);
    meter.model().memory().setFreeOverride(1);
    // A device that claims a huge set sends far less of it.
    const auto c = row.claimed;
    meter.setAnswer(
        meterlink::meter::Command, meterlink::meter::SetSize,
        {testsupport::ReportWith({static_cast<int>(c >> 32), static_cast<int>(c >> 24 & 0xFF),
                                  static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF),
                                  static_cast<int>(c & 0xFF)})});
    QFile earlier(root.paths.downloadFile());
    QDir().mkpath(QFileInfo(earlier).absolutePath());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier\r\n") == 9);
    earlier.close();
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("Logger")), Qt::LeftButton);
    QWidget* memory = program->logger().memoryWindow();
    QTimer::singleShot(0, memory, [&] { meter.setPlugged(!row.unplugMidway); });
    meter.clearWrites();
    auto* grid = memory->findChild<QTableView*>(QStringLiteral("GridSet"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(1, 0)).center());

    // The set itself is asked for only when its size is credible.
    EXPECT_EQ(commands().size(), row.unplugMidway ? 2u : 1u);
    ASSERT_EQ(dialogs.messages.size(), row.message.isEmpty() ? 0u : 1u);
    EXPECT_EQ(dialogs.messages.empty() ? QString() : dialogs.messages[0].text, row.message);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier\r\n");
    EXPECT_TRUE(dialogs.viewedFiles.isEmpty());
    EXPECT_TRUE(testsupport::LivePollRunning(*window));
    // Nothing the meter sent of the set reaches the next tick.
    meter.setPlugged(true);
    window->pollMeter();
    EXPECT_EQ(meter.pendingReports(), 0u);
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("PicSet"))->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Logger, DownloadTest,
    ::testing::Values(
        DownloadRow{"BeyondTheReportedCapacity", 4, 4 * 1024 + 1, false, logger::SetTooLargeText},
        DownloadRow{"BeyondAnyMeter", 0xFFFFFFFFFF, logger::MaxSetBytes + 1, false,
                    logger::SetTooLargeText},
        DownloadRow{"LargestTheFieldHolds", 0xFFFFFFFFFF, 0xFFFFFFFFFF, false,
                    logger::SetTooLargeText},
        DownloadRow{"UnpluggedMidway", 512 * 1024, 64 * 400, true, logger::LinkLostText}),
    [](const auto& r) { return std::string(r.param.name); });

} // namespace
