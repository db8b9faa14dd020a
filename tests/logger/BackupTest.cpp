// Every stored set is saved and read back before the memory is erased; a backup that fails or
// misses a set erases nothing unless the user insists.
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "logger/SetListModel.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterMemory.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The progress window a transfer shows while the Memory window does not.
QProgressDialog* ShownProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget);
            progress && progress->isVisible())
            return progress;
    return nullptr;
}

struct BackupRow
{
    const char* name;
    bool fromWindow;
    int stopAtSet;    // 0: none
    bool cancel;      // at that set: the Memory window closed, Cancel in the progress window;
                      // otherwise the meter is unplugged
    rlim_t diskLimit; // bytes a file may take; 0: no limit
    bool insist;      // answers Yes to "Erase anyway?", then OK
};

// Four sets in the meter's memory on 2026/12/07 09:15:30.
class FourSets : protected testsupport::ProgramHarness<>
{
protected:
    FourSets()
    {
        // Texts of whole reports. The third set starts when the first does; the meter sends the
        // fourth with the second's text.
        std::vector<virtualmeter::StoredSet> sets(4);
        sets[0] = {{2026, 12, 5, 16, 39, 5}, 1, false, {}, std::string(62, 'a') + "\r\n"};
        sets[1] = {{2026, 12, 6, 8, 0, 0}, 1, false, {}, std::string(126, 'b') + "\r\n"};
        sets[2] = {sets[0].start, 1, false, {}, "c\r\n"};
        sets[3] = {{2026, 12, 7, 8, 0, 0}, 1, false, {}, sets[1].text};
        memory().setSets(sets);
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)));
    }
    virtualmeter::MeterMemory& memory() { return meter.model().memory(); }
    const QString folder = root.paths.backupsFolder() + QStringLiteral("/2026-12-07_091530");
};

class BackupTest : public ::testing::TestWithParam<BackupRow>, protected FourSets
{
};

TEST_P(BackupTest, ErasesOnlyWhatItSavedUnlessTheUserInsists)
{
    const BackupRow& row = GetParam();
    window->toolbar()->click(panel::ToolbarKey::Logger);
    meter.clearWrites();
    if (row.cancel)
        program->logger().memoryWindow()->close();
    // Stopped when the set-data command of set `stopAtSet` (1-based) arrives.
    int sets = 0;
    meter.setOnCommand([&](const virtualmeter::Report& command) {
        if (command[1] != 6 || command[2] != 30 || ++sets != row.stopAtSet)
            return;
        if (!row.cancel)
            return meter.setPlugged(false);
        QTimer::singleShot(0, [] {
            ASSERT_NE(ShownProgress(), nullptr);
            QTest::mouseClick(ShownProgress()->findChild<QPushButton*>(), Qt::LeftButton);
        });
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
            window->toolbar()->click(panel::ToolbarKey::Erase);
    }
    const auto sent = commands();
    const auto erased = std::count(sent.begin(), sent.end(), std::pair(6, 32));
    ASSERT_FALSE(dialogs.messages.empty());
    // Asked first, with No as the default; nothing erased or lost on it.
    const auto& asked = dialogs.messages[0];
    EXPECT_EQ(asked.buttons, ui::MsgButtons::YesNoDefaultNo);
    EXPECT_TRUE(asked.text.endsWith(QStringLiteral("Erase anyway?")));
    EXPECT_EQ(erased, row.insist ? 1 : 0);
    EXPECT_EQ(memory().sets().size(), row.insist ? 0u : 4u);
    EXPECT_EQ(ShownProgress(), nullptr);
    if (row.cancel) {
        EXPECT_EQ(asked.text, QStringLiteral("The backup failed: it was cancelled. Erase anyway?"));
    }
    if (row.stopAtSet > 0 || row.diskLimit > 0) {
        EXPECT_TRUE(asked.text.startsWith(QStringLiteral("The backup failed: ")));
        return;
    }
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
        EXPECT_EQ(dialogs.messages[1].icon, ui::MsgIcon::Exclamation);
        EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("Warning"));
        // The window's own erase closes it.
        EXPECT_FALSE(program->logger().memoryWindow()->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BackupTest,
    ::testing::Values(BackupRow{"Toolbar", false, 0, false, 0, false},
                      BackupRow{"MemoryWindowInsisted", true, 0, false, 0, true},
                      BackupRow{"Unplugged", false, 2, false, 0, false},
                      BackupRow{"CancelledWithoutTheMemoryWindow", false, 2, true, 0, false},
                      BackupRow{"FullDisk", true, 0, false, 50, false}),
    [](const auto& row) { return std::string(row.param.name); });

class BackupsTest : public ::testing::Test, protected FourSets
{
};

TEST_F(BackupsTest, EachInAFolderOfItsOwnAndASetStoredMeanwhileIsNotErased)
{
    memory().setSets({memory().sets()[0], memory().sets()[1]});
    dialogs.messageAnswers = {ui::MsgAnswer::Cancel, ui::MsgAnswer::Ok};
    window->toolbar()->click(panel::ToolbarKey::Erase);
    // Again in the same second; the meter stores a set once it has sent the last one.
    int data = 0;
    meter.setOnCommand([&](const virtualmeter::Report& command) {
        if (command[1] == 6 && command[2] == 30 && ++data == 2)
            memory().addSet({{2026, 12, 7, 9, 15, 0}, 1, false, {}, "d\r\n"});
    });
    meter.clearWrites();
    window->toolbar()->click(panel::ToolbarKey::Erase);

    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("All the data in memory will be deleted!\nThe 2 sets were saved in "
                             "%1_2.")
                  .arg(folder));
    EXPECT_EQ(dialogs.messages[2].text,
              QStringLiteral("The meter stored set 3 (2026/12/07 09:15:00) after the backup; it "
                             "is not saved.\nErase anyway?"));
    EXPECT_EQ(dialogs.messages[2].buttons, ui::MsgButtons::YesNoDefaultNo);
    // Status and directory again after the confirmation, and no erase.
    const auto sent = commands();
    EXPECT_EQ(std::vector(sent.end() - 3, sent.end()),
              (std::vector<std::pair<int, int>>{{6, 30}, {6, 33}, {6, 29}}));
    EXPECT_EQ(memory().sets().size(), 3u);
    for (const QString& backup : {folder, folder + QStringLiteral("_2")})
        EXPECT_EQ(QDir(backup).entryList(QDir::Files),
                  QStringList({QStringLiteral("2026-12-05_163905.txt"),
                               QStringLiteral("2026-12-06_080000.txt")}))
            << backup.toStdString();
}

// The user insists on erasing a set stored after the backup: the memory is erased and the open
// Memory window lists what is left, not the sets it showed before.
TEST_F(BackupsTest, ASetStoredMeanwhileIsErasedWhenTheUserInsists)
{
    memory().setSets({memory().sets()[0], memory().sets()[1]});
    window->toolbar()->click(panel::ToolbarKey::Logger);
    logger::MemoryWindow* listed = program->logger().memoryWindow();
    ASSERT_NE(listed, nullptr);
    ASSERT_EQ(listed->sets().rowCount(), 3);
    int data = 0;
    meter.setOnCommand([&](const virtualmeter::Report& command) {
        if (command[1] == 6 && command[2] == 30 && ++data == 2)
            memory().addSet({{2026, 12, 7, 9, 15, 0}, 1, false, {}, "d\r\n"});
    });
    dialogs.messageAnswers = {ui::MsgAnswer::Ok, ui::MsgAnswer::Yes};
    meter.clearWrites();
    window->toolbar()->click(panel::ToolbarKey::Erase);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("The meter stored set 3 (2026/12/07 09:15:00) after the backup; it "
                             "is not saved.\nErase anyway?"));
    const auto sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair(6, 32)), 1);
    EXPECT_TRUE(memory().sets().empty());
    EXPECT_TRUE(listed->isVisible());
    EXPECT_EQ(listed->sets().rowCount(), 1);
    EXPECT_EQ(listed->findChild<QProgressBar*>(QStringLiteral("MSize"))->value(), 0);
}

// 200 sets of 256 bytes where the meter reports 1 K in use: the first four are read.
TEST_F(BackupsTest, NoMoreThanTheMemoryInUse)
{
    std::vector<virtualmeter::StoredSet> sets;
    for (int n = 0; n < 200; ++n)
        sets.push_back({{2026, 11, 1 + n / 24, n % 24, 0, 0},
                        1,
                        false,
                        {},
                        std::string(250, '.') + std::to_string(1000 + n) + "\r\n"});
    memory().setSets(sets);
    memory().setFreeOverride(virtualmeter::MeterMemory::DefaultCapacity - 1);
    window->toolbar()->click(panel::ToolbarKey::Erase);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(
        dialogs.messages[0].text,
        QStringLiteral("The backup failed: the meter's sets hold more than the 1024 bytes its "
                       "memory has in use; set 5 and those after it were not read. Erase "
                       "anyway?"));
    const auto sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair(6, 30)), 4);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair(6, 32)), 0);
    qint64 written = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
        written += file.size();
    EXPECT_EQ(written, 4 * (256 + 2));
}

// A set the meter claims larger than its whole memory is not asked for.
TEST_F(BackupsTest, ASetClaimedLargerThanTheMemoryIsNotRead)
{
    memory().setCapacity(4);
    meter.setAnswer(meterlink::meter::Command, meterlink::meter::SetSize,
                    {testsupport::ReportWith({0, 0, 0, 0x10, 0x01})});
    window->toolbar()->click(panel::ToolbarKey::Erase);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The backup failed: the meter reported set 1 larger than its memory. "
                             "Erase anyway?"));
    const auto sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair(6, 30)), 0);
}

} // namespace
