// Every stored set is saved and read back before the memory is erased; a backup that fails or
// misses a set erases nothing unless the user insists.
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
    bool insist;      // answers Yes to "Erase anyway?", then OK
};

class BackupTest : public ::testing::TestWithParam<BackupRow>,
                   protected testsupport::ProgramHarness<>
{
protected:
    BackupTest()
    {
        // Texts of whole reports. The third set starts when the first does; the meter sends the
        // fourth with the second's text.
        std::vector<virtualmeter::StoredSet> sets(4);
        sets[0] = {{2026, 12, 5, 16, 39, 5}, 1, false, {}, std::string(62, 'a') + "\r\n"};
        sets[1] = {{2026, 12, 6, 8, 0, 0}, 1, false, {}, std::string(126, 'b') + "\r\n"};
        sets[2] = {sets[0].start, 1, false, {}, "c\r\n"};
        sets[3] = {{2026, 12, 7, 8, 0, 0}, 1, false, {}, sets[1].text};
        meter.model().memory().setSets(sets);
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)));
    }
};

TEST_P(BackupTest, ErasesOnlyWhatItSavedUnlessTheUserInsists)
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
    if (row.insist)
        dialogs.messageAnswers = {ui::MsgAnswer::Yes, ui::MsgAnswer::Ok};
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
    const auto erased = std::count(sent.begin(), sent.end(), std::pair(6, 32));
    ASSERT_FALSE(dialogs.messages.empty());
    // Asked first, with No as the default; nothing erased or lost on it.
    const auto& asked = dialogs.messages[0];
    EXPECT_EQ(asked.buttons, ui::MsgButtons::YesNoDefaultNo);
    EXPECT_TRUE(asked.text.endsWith(QStringLiteral("Erase anyway?")));
    EXPECT_EQ(erased, row.insist ? 1 : 0);
    EXPECT_EQ(meter.model().memory().sets().size(), row.insist ? 0u : 4u);
    if (row.unplugAtSet > 0 || row.diskLimit > 0) {
        EXPECT_TRUE(asked.text.startsWith(QStringLiteral("The backup failed: ")));
        return;
    }
    const QString folder = root.paths.backupsFolder() + QStringLiteral("/2026-12-07_091530");
    EXPECT_EQ(asked.text, QStringLiteral("Set 3 was not saved: it starts when set 1 does "
                                         "(2026/12/05 16:39:05), and the meter sends only the "
                                         "first set of a start time.\nSet 4 was not saved: the "
                                         "meter sent the same text for it as for set 2.\nThe "
                                         "other 2 sets were saved in %1.\nErase anyway?")
                              .arg(folder));
    // The third set is not asked for: its start time brings the first.
    EXPECT_EQ(std::vector(sent.begin(), sent.begin() + 8),
              (std::vector<std::pair<int, int>>{
                  {6, 33}, {6, 29}, {6, 34}, {6, 30}, {6, 34}, {6, 30}, {6, 34}, {6, 30}}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("2026-12-05_163905.txt"),
                           QStringLiteral("2026-12-06_080000.txt")}));
    for (const auto& [name, text] : {std::pair("2026-12-05_163905.txt", std::string(62, 'a')),
                                     std::pair("2026-12-06_080000.txt", std::string(126, 'b'))}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.readAll().toStdString(), text + "\r\n\r\n") << name;
    }
    if (row.insist) {
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_EQ(dialogs.messages[1].text,
                  QStringLiteral("All the Automatically Recorded data in memory will be deleted!"
                                 "\n2 of the 4 sets were saved in %1.")
                      .arg(folder));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BackupTest,
                         ::testing::Values(BackupRow{"Toolbar", false, 0, 0, false},
                                           BackupRow{"MemoryWindowInsisted", true, 0, 0, true},
                                           BackupRow{"Unplugged", false, 2, 0, false},
                                           BackupRow{"FullDisk", true, 0, 50, false}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
