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

// Unplugged when the set-data command of set `unplugAtSet` (1-based) arrives.
class BackupMeter : public virtualmeter::VirtualMeter
{
public:
    int unplugAtSet = 0;

protected:
    void process(const virtualmeter::Report& command) override
    {
        if (command[1] == 6 && command[2] == 30 && ++m_sets == unplugAtSet)
            return setPlugged(false);
        VirtualMeter::process(command);
    }

private:
    int m_sets = 0;
};

struct BackupRow
{
    const char* name;
    bool fromWindow;
    enum
    {
        Healthy,
        Unplugged, // during the second set
        FullDisk
    } fault;
};

class BackupTest : public ::testing::TestWithParam<BackupRow>,
                   protected testsupport::ProgramHarness<BackupMeter>
{
protected:
    BackupTest()
    {
        // The third set starts when the first does: its file takes a suffix.
        std::vector<virtualmeter::StoredSet> sets(3);
        sets[0].start = {2026, 12, 5, 16, 39, 5};
        sets[1].start = {2026, 12, 6, 8, 0, 0};
        sets[2].start = sets[0].start;
        sets[0].text = std::string(100, 'a') + "\r\n";
        sets[1].text = std::string(70, 'b') + "\r\n";
        sets[2].text = "c\r\n";
        meter.model().memory().setSets(sets);
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)));
    }
    // The text as it arrives: whole reports of 64 bytes, padded with blanks.
    static QByteArray received(const std::string& text)
    {
        QByteArray bytes = QByteArray::fromStdString(text);
        bytes.append((64 - bytes.size() % 64) % 64, ' ');
        return bytes + "\r\n";
    }
};

TEST_P(BackupTest, SavesEverySetBeforeTheErase)
{
    const BackupRow& row = GetParam();
    const QString folder = root.paths.backupsFolder() + QStringLiteral("/2026-12-07_091530");
    window->toolbar()->click(QStringLiteral("Logger"));
    meter.clearWrites();
    if (row.fault == BackupRow::Unplugged)
        meter.unplugAtSet = 2;
    {
        std::unique_ptr<testsupport::FileSizeLimit> limit;
        if (row.fault == BackupRow::FullDisk)
            limit = std::make_unique<testsupport::FileSizeLimit>(50);
        if (row.fromWindow)
            QTest::mouseClick(
                program->logger().memoryWindow()->findChild<QWidget*>(QStringLiteral("MSize")),
                Qt::LeftButton);
        else
            window->toolbar()->click(QStringLiteral("Erase"));
    }

    const auto sent = commands();
    const bool erased = std::find(sent.begin(), sent.end(), std::pair(6, 32)) != sent.end();
    ASSERT_FALSE(dialogs.messages.empty());
    if (row.fault == BackupRow::Healthy) {
        // Three downloads, then the erase.
        EXPECT_EQ(
            sent,
            (std::vector<std::pair<int, int>>{
                {6, 33}, {6, 29}, {6, 34}, {6, 30}, {6, 34}, {6, 30}, {6, 34}, {6, 30}, {6, 32}}));
        const QString first = row.fromWindow
                                  ? QStringLiteral("All the Automatically Recorded data in "
                                                   "memory will be deleted!")
                                  : QStringLiteral("All the data in memory will be deleted!");
        EXPECT_EQ(dialogs.messages.back().text,
                  first + QStringLiteral("\nThe 3 sets were saved in ") +
                      QDir::toNativeSeparators(folder) + QLatin1Char('.'));
        const auto& sets = meter.model().memory().sets();
        QFile a(folder + QStringLiteral("/2026-12-05_163905.txt"));
        QFile b(folder + QStringLiteral("/2026-12-06_080000.txt"));
        QFile again(folder + QStringLiteral("/2026-12-05_163905_2.txt"));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) &&
                    again.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), received(std::string(100, 'a') + "\r\n"));
        EXPECT_EQ(b.readAll(), received(std::string(70, 'b') + "\r\n"));
        // The meter answers a start time with its first set of that time.
        EXPECT_EQ(again.readAll(), received(std::string(100, 'a') + "\r\n"));
        EXPECT_TRUE(sets.empty());
        return;
    }
    // Asked once, No by default, and nothing erased or lost.
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The backup failed: ")));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(QStringLiteral(". Erase anyway?")));
    EXPECT_EQ(dialogs.messages[0].buttons, ui::MsgButtons::YesNoDefaultNo);
    EXPECT_FALSE(erased);
    EXPECT_EQ(meter.model().memory().sets().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Rows, BackupTest,
                         ::testing::Values(BackupRow{"Toolbar", false, BackupRow::Healthy},
                                           BackupRow{"MemoryWindow", true, BackupRow::Healthy},
                                           BackupRow{"Unplugged", false, BackupRow::Unplugged},
                                           BackupRow{"FullDisk", true, BackupRow::FullDisk}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
