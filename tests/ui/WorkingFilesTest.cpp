// The working files against other accounts and a second instance, a recording an earlier run
// left behind, and a close in the middle of a recording.
#include "ui/WorkingFiles.h"

#include "files/PcRecorder.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

class WorkingFiles : public testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    WorkingFiles() : ProgramHarness(false) {}
    QString outside(const QString& name) const { return QDir(other.path()).filePath(name); }
    void startRecording()
    {
        dialogs.fileAnswers.push_back(outside(QStringLiteral("run.txt")));
        window->toolbar()->click(panel::ToolbarKey::Save);
    }

    QTemporaryDir other; // another account's files
};

TEST_F(WorkingFiles, LinksPlantedAtTheirNamesAreNeverFollowed)
{
    const QString names[] = {root.paths.startupFile(), root.paths.recordingTemp(),
                             root.paths.downloadFile()};
    ASSERT_TRUE(QDir().mkpath(root.paths.tempFolder()));
    for (const QString& name : names)
        ASSERT_TRUE(write(outside(QFileInfo(name).fileName()), "not yours") &&
                    QFile::link(outside(QFileInfo(name).fileName()), name));
    virtualmeter::StoredSet set;
    set.text = "Set text\r\n";
    meter.model().memory().setSets({set});
    start();
    startRecording();
    window->toolbar()->click(panel::ToolbarKey::Logger);
    program->logger().downloadSet(1);

    for (const QString& name : names) {
        EXPECT_EQ(contents(outside(QFileInfo(name).fileName())), "not yours") << name.toStdString();
        EXPECT_EQ(ui::IdentifyFile(name).kind, ui::FileIdentity::Kind::Regular);
    }
    EXPECT_TRUE(contents(root.paths.downloadFile()).startsWith("Set text\r\n"));
}

// A working folder that is not the user's alone is refused, and so is one that a running
// instance holds; either is said in one message.
TEST(WorkingFolder, OnlyAFolderOfTheUsersAloneAndNotInUseIsTaken)
{
    std::unique_ptr<QLockFile> held;
    const struct
    {
        const char* refusal; // empty: the folder is used
        std::function<bool(const QByteArray&)> make;
    } rows[] = {
        {"", [](const QByteArray&) { return true; }},
        {"open to other users",
         [](const QByteArray& at) { return mkdir(at, 0700) == 0 && chmod(at, 0777) == 0; }},
        {"belongs to another user",
         [](const QByteArray& at) {
             return geteuid() == 0 && mkdir(at, 0700) == 0 && chown(at, 65534, 65534) == 0;
         }},
        // A link to a private folder of the user's, such as their key store.
        {"is not a folder",
         [](const QByteArray& at) {
             return mkdir(at + "2", 0700) == 0 && symlink(at + "2", at) == 0;
         }},
        {"already running",
         [&held](const QByteArray& at) {
             held = std::make_unique<QLockFile>(QFile::decodeName(at + "/tellarix582.lock"));
             return mkdir(at, 0700) == 0 && held->tryLock(0);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.refusal);
        QTemporaryDir base;
        const ui::FixedPaths paths(base.filePath(QStringLiteral("tellarix582")));
        if (!row.make(QFile::encodeName(paths.root())))
            continue; // needs root
        testsupport::FakeDialogs dialogs;
        const bool used = *row.refusal == '\0';
        EXPECT_EQ(ui::TakeWorkingFiles(paths, dialogs) != nullptr, used);
        ASSERT_EQ(dialogs.messages.size(), used ? 0U : 1U);
        if (used)
            EXPECT_EQ(QFileInfo(paths.root()).permissions().toInt() & 0x77, 0); // group, others
        else
            EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String(row.refusal)));
    }
}

TEST_F(WorkingFiles, RecordingLeftByAnEarlierRunIsKeptAsideAndSaid)
{
    ASSERT_TRUE(write(root.paths.recordingTemp(), "records of an earlier run"));
    start();
    startRecording();
    const QString aside =
        QDir(root.paths.root()).filePath(QStringLiteral("TEMF-20261205-163905.txt"));
    EXPECT_EQ(contents(aside), "records of an earlier run");
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(aside)));

    // A recording that was saved stays where it is and is not mentioned at the next start.
    window->toolbar()->click(panel::ToolbarKey::Save);
    ASSERT_TRUE(contents(outside(QStringLiteral("run.txt"))).startsWith("TRMS"));
    stop();
    dialogs.messages.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(contents(root.paths.recordingTemp()).startsWith("TRMS"));
}

TEST_F(WorkingFiles, ClosingDuringARecordingAsksFirst)
{
    const struct
    {
        bool recording;
        ui::MsgAnswer answer;
        bool closed;
    } rows[] = {{false, ui::MsgAnswer::Ok, true},
                {true, ui::MsgAnswer::Cancel, false},
                {true, ui::MsgAnswer::Ok, true}};
    for (const auto& row : rows) {
        start();
        QWidget plotWindow;
        plotWindow.show();
        window->show();
        if (row.recording)
            startRecording();
        dialogs.messages.clear();
        dialogs.messageAnswers = {row.answer};
        EXPECT_EQ(window->close(), row.closed);
        EXPECT_EQ(dialogs.messages.size(), row.recording ? 1U : 0U);
        EXPECT_EQ(plotWindow.isVisible(), !row.closed);
        EXPECT_EQ(testsupport::LivePollRunning(*window), !row.closed);
        EXPECT_EQ(program->recorder().recording(), row.recording && !row.closed);
        EXPECT_EQ(contents(outside(QStringLiteral("run.txt"))).contains("Total Records"),
                  row.recording && row.closed);
        QFile::remove(outside(QStringLiteral("run.txt")));
    }
}

} // namespace
