// The erase with its backup as the window program and a terminal share it, without windows.
#include "logger/MemoryErase.h"

#include "logger/SetDownload.h"
#include "logger/TransferProgress.h"
#include "tests/support/PanelHarness.h"

#include <gtest/gtest.h>

namespace {

using Commands = std::vector<std::pair<int, int>>;

struct Progress : logger::TransferProgress
{
    void begin() override { ++open; }
    bool advance(int) override { return open == 1; }
    void end() override { --open; }
    int open = 0;
};

struct EraseRow
{
    const char* name;
    bool empty; // the memory holds no set: nothing to back up
    ui::MsgAnswer answer;
    bool meterLostAtCheck; // unplugged when the memory is read again before the erase
    bool erased;
};

class MemoryEraseTest : public ::testing::TestWithParam<EraseRow>, protected testsupport::Harness<>
{
protected:
    MemoryEraseTest()
    {
        memory().setSets({{{2026, 12, 5, 16, 39, 5}, 1, false, {}, "a\r\n"},
                          {{2026, 12, 6, 8, 0, 0}, 1, false, {}, "b\r\n"}});
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)));
    }
    virtualmeter::MeterMemory& memory() { return meter.model().memory(); }

    Progress progress;
    logger::MemoryErase erase{runner, dialogs, clock, root.paths, progress};
    const logger::MemoryErase::Confirmation confirmation{
        QStringLiteral("Erase?"), ui::MsgIcon::Exclamation, QStringLiteral("Warning")};
};

// The poll stays paused from the status query to the last set, and again for the check and the
// erase; the confirmation comes between, with the poll on.
TEST_P(MemoryEraseTest, BackupConfirmationCheckAndErase)
{
    const EraseRow& row = GetParam();
    if (row.empty)
        memory().setSets({});
    dialogs.messageAnswers = {row.answer};
    int statusQueries = 0;
    meter.setOnCommand([&](const virtualmeter::Report& command) {
        if (command[2] == 33 && ++statusQueries == 2 && row.meterLostAtCheck)
            meter.setPlugged(false);
    });
    EXPECT_EQ(erase.run(confirmation), row.erased);

    ASSERT_FALSE(dialogs.messages.empty());
    const auto& asked = dialogs.messages[0];
    EXPECT_EQ(asked.text,
              row.empty ? QStringLiteral("Erase?")
                        : QStringLiteral("Erase?\nThe 2 sets were saved in %1/2026-12-07_091530.")
                              .arg(root.paths.backupsFolder()));
    EXPECT_EQ(asked.buttons, ui::MsgButtons::OkCancelDefaultCancel);
    EXPECT_EQ(asked.icon, ui::MsgIcon::Exclamation);
    EXPECT_EQ(asked.title, QStringLiteral("Warning"));
    Commands sent = {{6, 33}};
    if (!row.empty)
        sent.insert(sent.end(), {{6, 29}, {6, 34}, {6, 30}, {6, 34}, {6, 30}});
    if (row.answer == ui::MsgAnswer::Ok)
        sent.push_back({6, 33});
    if (row.answer == ui::MsgAnswer::Ok && !row.meterLostAtCheck && !row.empty)
        sent.push_back({6, 29});
    if (row.erased)
        sent.push_back({6, 32});
    EXPECT_EQ(commands(), sent);
    EXPECT_EQ(memory().sets().size(), row.erased ? 0u : 2u);
    const std::vector<bool> pauses = {false, true, false, true};
    EXPECT_EQ(poll.calls, std::vector(pauses.begin(),
                                      pauses.end() - (row.answer == ui::MsgAnswer::Ok ? 0 : 2)));
    EXPECT_EQ(dialogs.messages.back().text,
              row.meterLostAtCheck ? logger::LinkLostText : asked.text);
    EXPECT_EQ(progress.open, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MemoryEraseTest,
    ::testing::Values(EraseRow{"Confirmed", false, ui::MsgAnswer::Ok, false, true},
                      EraseRow{"Cancelled", false, ui::MsgAnswer::Cancel, false, false},
                      EraseRow{"MeterLostAtTheCheck", false, ui::MsgAnswer::Ok, true, false},
                      EraseRow{"EmptyMemoryNeedsNoBackup", true, ui::MsgAnswer::Ok, false, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MemoryEraseTest, NothingWhileAnotherSequenceRuns)
{
    const auto running = runner.begin();
    meter.clearWrites();
    EXPECT_FALSE(erase.run(confirmation));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(meter.writes().empty());
}

} // namespace
