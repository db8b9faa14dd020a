// Every stored set is saved and read back before the memory is erased; a backup that fails
// erases nothing unless the user insists.
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterMemory.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct BackupRow
{
    const char* name;
    bool fromWindow;
    int unplugAtSet;  // 0: stays plugged in
    rlim_t diskLimit; // bytes a file may take; 0: no limit
};

class BackupTest : public ::testing::TestWithParam<BackupRow>,
                   protected testsupport::ProgramHarness<>
{
protected:
    BackupTest()
    {
        // Texts of whole reports; the third set starts when the first does.
        std::vector<virtualmeter::StoredSet> sets(3);
        sets[0] = {{2026, 12, 5, 16, 39, 5}, 1, false, {}, std::string(62, 'a') + "\r\n"};
        sets[1] = {{2026, 12, 6, 8, 0, 0}, 1, false, {}, std::string(126, 'b') + "\r\n"};
        sets[2] = {sets[0].start, 1, false, {}, "c\r\n"};
        meter.model().memory().setSets(sets);
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)));
    }
};

TEST_P(BackupTest, SavesEverySetBeforeTheErase)
{
    const BackupRow& row = GetParam();
    window->toolbar()->click(QStringLiteral("Logger"));
    meter.clearWrites();
    // Unplugged when the set-data command of set `unplugAtSet` (1-based) arrives.
    int sets = 0;
    meter.setOnCommand([&](const virtualmeter::Report& command) {
        if (command[1] == 6 && command[2] == 30 && ++sets == row.unplugAtSet)
            meter.setPlugged(false);
    });
    {
        std::unique_ptr<testsupport::FileSizeLimit> limit;
        if (row.diskLimit > 0)
            limit = std::make_unique<testsupport::FileSizeLimit>(row.diskLimit);
        if (row.fromWindow)
            QTest::mouseClick(
                program->logger().memoryWindow()->findChild<QWidget*>(QStringLiteral("MSize")),
                Qt::LeftButton);
        else
            window->toolbar()->click(QStringLiteral("Erase"));
    }
    const auto sent = commands();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const auto& asked = dialogs.messages[0];
    if (row.unplugAtSet > 0 || row.diskLimit > 0) {
        // Asked with No as the default, and nothing erased or lost.
        EXPECT_TRUE(asked.text.startsWith(QStringLiteral("The backup failed: ")));
        EXPECT_TRUE(asked.text.endsWith(QStringLiteral(". Erase anyway?")));
        EXPECT_EQ(asked.buttons, ui::MsgButtons::YesNoDefaultNo);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair(6, 32)), 0);
        EXPECT_EQ(meter.model().memory().sets().size(), 3u);
        return;
    }
    // Three downloads, then the erase.
    EXPECT_EQ(
        sent,
        (std::vector<std::pair<int, int>>{
            {6, 33}, {6, 29}, {6, 34}, {6, 30}, {6, 34}, {6, 30}, {6, 34}, {6, 30}, {6, 32}}));
    const QString folder = root.paths.backupsFolder() + QStringLiteral("/2026-12-07_091530");
    EXPECT_EQ(asked.text,
              (row.fromWindow ? QStringLiteral("All the Automatically Recorded data in "
                                               "memory will be deleted!")
                              : QStringLiteral("All the data in memory will be deleted!")) +
                  QStringLiteral("\nThe 3 sets were saved in %1.").arg(folder));
    // The meter answers a start time with its first set of that time.
    for (const auto& [name, text] : {std::pair("2026-12-05_163905.txt", std::string(62, 'a')),
                                     std::pair("2026-12-06_080000.txt", std::string(126, 'b')),
                                     std::pair("2026-12-05_163905_2.txt", std::string(62, 'a'))}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.readAll().toStdString(), text + "\r\n\r\n") << name;
    }
    EXPECT_TRUE(meter.model().memory().sets().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, BackupTest,
                         ::testing::Values(BackupRow{"Toolbar", false, 0, 0},
                                           BackupRow{"MemoryWindow", true, 0, 0},
                                           BackupRow{"Unplugged", false, 2, 0},
                                           BackupRow{"FullDisk", true, 0, 50}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
