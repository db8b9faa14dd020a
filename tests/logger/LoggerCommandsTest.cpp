#include "logger/LoggerCommands.h"

#include "link/MeterCommands.h"
#include "logger/MemoryWindow.h"
#include "logger/SetDownload.h"
#include "logger/SetListModel.h"
#include "tests/support/PanelHarness.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;
using virtualmeter::StoredSet;
namespace m = meterlink::meter;

// A set stored on 2026/11/n 08:00:00, or on 2026/12/05 16:39:05 for n = 0.
StoredSet SetOf(int n, std::string text = {})
{
    StoredSet set;
    set.start = n ? virtualmeter::CalendarTime{2026, 11, n, 8, 0, 0}
                  : virtualmeter::CalendarTime{2026, 12, 5, 16, 39, 5};
    set.text = std::move(text);
    return set;
}

class LoggerTest : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    LoggerTest()
    {
        memory().setSets({SetOf(0)});
        memory().setFreeOverride(256 * 1024);
        cmd.fileName = QStringLiteral("start.tmp");
    }
    virtualmeter::MeterMemory& memory() { return meter.model().memory(); }
    // The memory status claims `sets` sets whatever the directory holds.
    void claimSets(std::uint64_t capacity, std::uint64_t free, int sets)
    {
        meter.setAnswer(
            m::Command, m::MemoryStatus,
            {testsupport::ReportWith(
                {0, 0, static_cast<int>(capacity >> 16), static_cast<int>(capacity >> 8 & 0xFF),
                 static_cast<int>(capacity & 0xFF), 0, 0, static_cast<int>(free >> 16),
                 static_cast<int>(free >> 8 & 0xFF), static_cast<int>(free & 0xFF), 0, sets})});
    }
    QByteArray downloaded() const
    {
        QFile file(root.paths.downloadFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const logger::SetListModel& grid() { return commands_.memoryWindow()->sets(); }

    logger::LoggerCommands commands_{runner, services, document, cmd, nullptr};
};

TEST_F(LoggerTest, ListingShowsGaugeCapacityAndSets)
{
    memory().addSet(SetOf(1));
    commands_.listMemory();
    ASSERT_NE(commands_.memoryWindow(), nullptr);
    EXPECT_TRUE(commands_.memoryWindow()->isVisible());
    EXPECT_EQ((commands()), (std::vector<std::pair<int, int>>{{6, 33}, {6, 29}}));
    ASSERT_EQ(grid().rowCount(), 3);
    EXPECT_EQ(grid().cellText(0, 0), QStringLiteral("Set"));
    EXPECT_EQ(grid().cellText(0, 1), QStringLiteral("  Start Time  "));
    EXPECT_EQ(grid().cellText(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid().cellText(1, 1), QStringLiteral("2026/12/05 16:39:05"));
    EXPECT_EQ(grid().cellText(2, 1), QStringLiteral("2026/11/01 08:00:00"));
    const auto* label =
        commands_.memoryWindow()->findChild<QLabel*>(QStringLiteral("LblMemorySize"));
    EXPECT_EQ(label->text(), QStringLiteral("Capacity : 512 MB"));
    const auto* gauge = commands_.memoryWindow()->findChild<QProgressBar*>(QStringLiteral("MSize"));
    EXPECT_EQ(gauge->value(), 50);
    EXPECT_EQ(poll.calls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(dialogs.messages.empty());

    // A second listing appends. Set 2 of the first list, which the second does not list, is
    // still asked for by its start time. A closed window starts afresh.
    memory().setSets({SetOf(3)});
    commands_.listMemory();
    ASSERT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(grid().cellText(3, 1), QStringLiteral("2026/11/03 08:00:00"));
    meter.clearWrites();
    commands_.downloadSet(2);
    ASSERT_FALSE(meter.writes().empty());
    EXPECT_EQ(std::string(meter.writes()[0].begin() + 3, meter.writes()[0].begin() + 17),
              "20261101080000");
    commands_.memoryWindow()->close();
    commands_.listMemory();
    EXPECT_EQ(grid().rowCount(), 2);
}

TEST_F(LoggerTest, DirectoryReportsSkipTheirFirstByte)
{
    link.drain(); // finds the meter
    ASSERT_TRUE(link.connected());
    for (const int sets : {9, 10}) {
        memory().setSets({});
        for (int n = 1; n <= sets; ++n)
            memory().addSet(SetOf(n));
        meter.clearWrites();
        const int readsBefore = meter.readCount();
        commands_.listMemory();
        // The drain finds nothing, the status comes in one report, then the directory pages.
        const int pages = sets == 9 ? 1 : 2;
        EXPECT_EQ(meter.readCount() - readsBefore, 1 + 1 + pages) << sets;
        EXPECT_EQ(grid().cellText(sets, 1),
                  QStringLiteral("2026/11/%1 08:00:00").arg(sets, 2, 10, QLatin1Char('0')));
        commands_.memoryWindow()->close();
    }
}

TEST_F(LoggerTest, NoDataShowsCriticalMessageAndNoWindow)
{
    // All free although sets are named; some used but no set named.
    const std::vector<std::tuple<std::uint64_t, std::uint64_t, int>> rows = {{1024, 1024, 4},
                                                                             {1024, 10, 0}};
    for (const auto& [capacity, free, sets] : rows) {
        SCOPED_TRACE(sets);
        claimSets(capacity, free, sets);
        dialogs.messages.clear();
        meter.clearWrites();
        commands_.listMemory();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("No Data in Memory!"));
        EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Critical);
        EXPECT_EQ(commands_.memoryWindow(), nullptr);
        EXPECT_EQ(commands().size(), 1u);
        EXPECT_TRUE(poll.polling());
    }
}

TEST_F(LoggerTest, DownloadRequestsTheSetAndViewsTheFile)
{
    memory().setSets({SetOf(0, "Ev 123.4 lx")});
    commands_.listMemory();
    meter.clearWrites();
    commands_.downloadSet(1);
    ASSERT_EQ(meter.writes().size(), 2u);
    const auto& sizeRequest = meter.writes()[0];
    EXPECT_EQ(
        Bytes(sizeRequest.begin(), sizeRequest.begin() + 17),
        (Bytes{0, 6, 34, '2', '0', '2', '6', '1', '2', '0', '5', '1', '6', '3', '9', '0', '5'}));
    const auto& dataRequest = meter.writes()[1];
    EXPECT_EQ(dataRequest[2], 30);
    EXPECT_TRUE(std::equal(sizeRequest.begin() + 3, sizeRequest.end(), dataRequest.begin() + 3));
    // The last report is taken whole, beyond the set's size.
    EXPECT_EQ(downloaded(), QByteArray("Ev 123.4 lx") + QByteArray(53, ' ') + "\r\n");
    EXPECT_EQ(cmd.fileName, root.paths.downloadFile());
    EXPECT_EQ(dialogs.viewedFiles, QStringList{root.paths.downloadFile()});
    EXPECT_TRUE(poll.polling());
}

TEST_F(LoggerTest, SixtyFourAndSixtyFiveBytes)
{
    commands_.listMemory();
    for (const auto& [size, reports] : std::vector<std::pair<int, int>>{{64, 1}, {65, 2}, {0, 0}}) {
        memory().setSets({SetOf(0, std::string(static_cast<std::size_t>(size), 'a'))});
        const int readsBefore = meter.readCount();
        commands_.downloadSet(1);
        // The size answer, the data reports, an empty drain read before and the drain of the
        // meter's end report after.
        EXPECT_EQ(meter.readCount() - readsBefore, 1 + reports + 3) << size;
        EXPECT_EQ(meter.pendingReports(), 0u);
        EXPECT_EQ(downloaded().size(), reports * 64 + 2) << size;
        EXPECT_TRUE(downloaded().endsWith("\r\n"));
    }
}

TEST_F(LoggerTest, HeaderRowRequestsSetZero)
{
    commands_.listMemory();
    meter.clearWrites();
    commands_.downloadSet(0);
    ASSERT_FALSE(meter.writes().empty());
    const auto& request = meter.writes()[0];
    EXPECT_EQ(std::string(request.begin() + 3, request.begin() + 17), "00000000000000");
    EXPECT_EQ(downloaded(), QByteArray("\r\n"));
}

TEST_F(LoggerTest, LostOrCutShortListingAppendsNothingStale)
{
    for (int n = 1; n <= 20; ++n)
        memory().addSet(SetOf(n));
    commands_.listMemory();
    ASSERT_EQ(grid().rowCount(), 22);
    // The status promises more sets than the meter sends directory reports for.
    claimSets(512 * 1024, 1024, 40);
    commands_.listMemory();
    EXPECT_EQ(dialogs.messages.back().text, logger::LinkLostText);
    EXPECT_EQ(grid().rowCount(), 22);
    // The meter falls silent.
    meter.setSilent(true);
    commands_.listMemory();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages.back().text, logger::LinkLostText);
    EXPECT_EQ(grid().rowCount(), 22);
    EXPECT_TRUE(poll.polling());
}

TEST_F(LoggerTest, LuxAndFcSendTheSameUnitOption)
{
    commands_.listMemory();
    auto* list = commands_.memoryWindow()->findChild<QTableView*>(QStringLiteral("GridSet"));
    list->setCurrentIndex(list->model()->index(1, 0));
    meter.clearWrites();
    for (const char* option : {"OptLuxFc0", "OptLuxFc1"})
        commands_.memoryWindow()->findChild<QRadioButton*>(QLatin1String(option))->click();
    ASSERT_EQ(meter.writes().size(), 2u);
    EXPECT_EQ(meter.writes()[0], meter.writes()[1]);
    EXPECT_EQ(Bytes(meter.writes()[0].begin(), meter.writes()[0].begin() + 10),
              (Bytes{0, 1, 17, 32, 38, 18, 5, 22, 57, 5}));
}

} // namespace
