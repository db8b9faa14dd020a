// The working files and every save against another account (played as root by handing planted
// folders, files and links to another uid), a second instance, a recording an earlier run left
// behind, and a close in the middle of a recording.
#include "ui/WorkingFiles.h"

#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/PlotWindow.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterMemory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Other = 65534; // another account

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

// The user's own file that a planted link points at: it must stay as it is.
QString PrivateFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("mine"));
    write(path, "mine");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

class WorkingFiles : public testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    WorkingFiles() : ProgramHarness(false) {}
    QString outside(const QString& name) const { return QDir(other.path()).filePath(name); }
    void startRecording(const QString& target = QString())
    {
        dialogs.fileAnswers.push_back(target.isEmpty() ? outside(QStringLiteral("run.txt"))
                                                       : target);
        window->toolbar()->click(panel::ToolbarKey::Save);
    }
    void sample()
    {
        window->pollMeter();
        program->recorder().sample();
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

// Where another account could read or change the working files or the lock, the program says so
// in one message that names the place, and does not run; a folder of the user's own that others
// may only read is made theirs alone and used; one that merely cannot be made stops nothing.
TEST(WorkingFolder, OnlyWhatAnotherAccountCouldAbuseIsRefused)
{
    std::unique_ptr<ui::InstanceLock> held;
    using Make = std::function<bool(const QByteArray& cache, const QByteArray& lock)>;
    const auto own = [](const QByteArray& at, mode_t mode) {
        return mkdir(at + "/tellarix582", 0700) == 0 && chmod(at + "/tellarix582", mode) == 0;
    };
    const bool root = geteuid() == 0;
    const struct
    {
        const char* refusal; // empty: the program runs
        bool namesLock;      // the message names the lock file rather than the working folder
        Make make;           // false: the row needs root
    } rows[] = {
        {"", false, [](auto&, auto&) { return true; }},
        {"", false, [&](auto& c, auto&) { return own(c, 0755); }}, // restored from a backup
        {"", false, [&](auto& c, auto&) { return own(c, 0750); }},
        {"", false, [](auto& c, auto&) { return chmod(c, 01777) == 0; }}, // shared, sticky
        {"", false, [](auto& c, auto&) { return rmdir(c) == 0 && creat(c, 0600) >= 0; }},
        {"/tellarix582\" is open to other users", false,
         [&](auto& c, auto&) { return own(c, 0777); }},
        {"cache\" is open to other users", false,
         [](auto& c, auto&) { return chmod(c, 0777) == 0; }},
        {"/tellarix582\" belongs to another user", false,
         [&](auto& c, auto&) {
             return root && own(c, 0700) && chown(c + "/tellarix582", Other, Other) == 0;
         }},
        {"cache\" belongs to another user", false,
         [&](auto& c, auto&) { return root && chown(c, Other, Other) == 0; }},
        {"/tellarix582\" belongs to another user", false,
         [&](auto& c, auto&) {
             return root && own(c, 0700) && chmod(c, 01777) == 0 &&
                    chown(c + "/tellarix582", Other, Other) == 0;
         }},
        // A link to a private folder of the user's, such as their key store.
        {"is not a folder", false,
         [](auto& c, auto&) {
             return mkdir(c + "/keys", 0700) == 0 && symlink("keys", c + "/tellarix582") == 0;
         }},
        {"it is a link", true, [](auto& c, auto& l) { return symlink(c, l) == 0; }},
        {"it is not a plain file", true, [](auto&, auto& l) { return mkfifo(l, 0600) == 0; }},
        {"it is another user's file", true,
         [&](auto&, auto& l) {
             return root && creat(l, 0600) >= 0 && chown(l, Other, Other) == 0;
         }},
        {"already running", true,
         [&held](auto& c, auto& l) {
             testsupport::FakeDialogs first;
             held = ui::TakeWorkingFiles(
                 ui::FixedPaths(QFile::decodeName(c + "/tellarix582"), {}, QFile::decodeName(l)),
                 first);
             return held != nullptr;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.refusal);
        QTemporaryDir base;
        const QString cache = base.filePath(QStringLiteral("cache"));
        const QString lock = base.filePath(QStringLiteral("locks/tellarix582.lock"));
        ASSERT_TRUE(QDir().mkpath(cache) && QDir().mkpath(QFileInfo(lock).path()));
        if (!row.make(QFile::encodeName(cache), QFile::encodeName(lock)))
            continue; // needs root
        const ui::FixedPaths paths(QDir(cache).filePath(QStringLiteral("tellarix582")), {}, lock);
        testsupport::FakeDialogs dialogs;
        const bool runs = *row.refusal == '\0';
        EXPECT_EQ(ui::TakeWorkingFiles(paths, dialogs) != nullptr, runs);
        ASSERT_EQ(dialogs.messages.size(), runs ? 0U : 1U);
        if (runs) {
            // Nothing for group and others.
            EXPECT_TRUE(!paths.working().ok() ||
                        (QFileInfo(paths.root()).permissions().toInt() & 0x77) == 0);
            continue;
        }
        EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String(row.refusal)))
            << dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(dialogs.messages[0].text.contains(row.namesLock ? lock : paths.root()));
    }
    if (!root)
        GTEST_SKIP() << "the rows with another account's folders and files need root";
}

TEST(WorkingFolder, OneLockPerUserWhateverTheCacheFolder)
{
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    QStandardPaths::setTestModeEnabled(false);
    qputenv("XDG_CACHE_HOME", "/tmp/one");
    const ui::FixedPaths one = ui::FixedPaths::forUser();
    qputenv("XDG_CACHE_HOME", "/tmp/two");
    const ui::FixedPaths two = ui::FixedPaths::forUser();
    if (cache.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", cache);
    QStandardPaths::setTestModeEnabled(true);
    EXPECT_NE(one.root(), two.root());
    EXPECT_EQ(one.lockFile(), two.lockFile());
}

// Had another account been able to swap the working folder after the check, nothing would
// follow the swap: the recording, the download and the start-up file go on in the folder that
// was checked, and the stop saves the records the recording took, not what was planted.
TEST_F(WorkingFiles, FolderSwappedAfterTheCheckChangesNothing)
{
    virtualmeter::StoredSet set;
    set.text = "Set text\r\n";
    meter.model().memory().setSets({set});
    start();
    startRecording();
    for (int i = 0; i < 3; ++i)
        sample();
    const QString checked = root.paths.root() + QStringLiteral(".checked");
    ASSERT_TRUE(QDir().rename(root.paths.root(), checked));
    ASSERT_TRUE(write(root.paths.recordingTemp(), "TRMS\r\nplanted\r\n\r\n\r\n\r\n") &&
                QDir().mkpath(root.paths.tempFolder()));
    window->toolbar()->click(panel::ToolbarKey::Logger);
    program->logger().downloadSet(1);
    window->toolbar()->click(panel::ToolbarKey::Save);

    files::RecordTable saved;
    ASSERT_EQ(files::ReadDataFile(outside(QStringLiteral("run.txt")), saved).outcome,
              files::ReadOutcome::Ok);
    EXPECT_EQ(saved.count(), 3u);
    EXPECT_TRUE(contents(outside(QStringLiteral("run.txt"))).contains("Total Records : 3"));
    EXPECT_TRUE(contents(QDir(checked).filePath(QStringLiteral("Temp/Lum.tmp"))).startsWith("Set"));
    EXPECT_EQ(QDir(root.paths.tempFolder()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    EXPECT_EQ(contents(root.paths.recordingTemp()), "TRMS\r\nplanted\r\n\r\n\r\n\r\n");
    QDir(checked).removeRecursively();
}

// A backup goes into a dated folder made new: never one planted at its name, never through a
// link there, never into a backups folder of another account's.
TEST_F(WorkingFiles, BackupFolderPlantedBeforeTheEraseIsNotUsed)
{
    const QString dated =
        QDir(root.paths.backupsFolder()).filePath(QStringLiteral("2026-12-05_163905"));
    const struct
    {
        const char* name;
        std::function<bool()> plant; // false: the row needs root
        bool saved;                  // saved in "<dated>_2"; otherwise refused
    } rows[] = {
        {"link",
         [&] {
             return QDir().mkpath(root.paths.backupsFolder()) && QFile::link(other.path(), dated);
         },
         true},
        {"folder of another account",
         [&] {
             return geteuid() == 0 && QDir().mkpath(dated) &&
                    chown(QFile::encodeName(dated), Other, Other) == 0;
         },
         true},
        {"backups of another account",
         [&] {
             return geteuid() == 0 && QDir().mkpath(root.paths.backupsFolder()) &&
                    chown(QFile::encodeName(root.paths.backupsFolder()), Other, Other) == 0;
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(root.paths.backupsFolder()).removeRecursively();
        QFile::remove(dated);
        if (!row.plant())
            continue;
        meter.model().memory().setSets(
            {virtualmeter::StoredSet{{2026, 12, 5, 8, 0, 0}, 1, false, {}, "a\r\n"}});
        start();
        dialogs.messages.clear();
        dialogs.messageAnswers = {ui::MsgAnswer::Ok};
        window->toolbar()->click(panel::ToolbarKey::Erase);
        ASSERT_EQ(dialogs.messages.size(), 1U);
        EXPECT_TRUE(QDir(other.path()).isEmpty());
        EXPECT_EQ(contents(dated + QStringLiteral("_2/2026-12-05_080000.txt")).startsWith("a\r\n"),
                  row.saved);
        EXPECT_EQ(dialogs.messages[0].text.startsWith(QLatin1String("The backup failed")),
                  !row.saved);
        EXPECT_EQ(meter.model().memory().sets().empty(), row.saved);
    }
    if (geteuid() != 0)
        GTEST_SKIP() << "the rows with another account's folders need root";
}

// Every kind of save, into a folder another account can write to: a link planted at the name
// is replaced and never written through, and the name the program suggested there is refused.
TEST_F(WorkingFiles, SavesReplaceLinksAndRefuseSuggestedNamesInSharedFolders)
{
    QTemporaryDir shared;
    ASSERT_TRUE(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
    const QString mine = PrivateFile(other);
    const QString data = shared.filePath(QStringLiteral("run.txt"));
    const virtualmeter::CalendarTime setStart{2026, 12, 5, 8, 0, 0};
    const std::vector<files::Reading> setRecords(2);
    meter.model().memory().setSets({virtualmeter::StoredSet{
        setStart, 1, false, setRecords, virtualmeter::setText(setStart, 1, false, setRecords)}});
    start();
    startRecording(data);
    sample();
    window->toolbar()->click(panel::ToolbarKey::Save);
    program->openDataFile(data);
    window->toolbar()->click(panel::ToolbarKey::Logger);
    program->logger().downloadSet(1);
    window->toolbar()->click(panel::ToolbarKey::List);
    QWidget* list = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        list = top->objectName() == QLatin1String("List") ? top : list;
    ASSERT_NE(list, nullptr);
    const auto click = [](QWidget* in, const char* name) {
        QTest::mouseClick(in->findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
    };
    const struct
    {
        const char* name;
        std::function<void()> save;
    } rows[] = {
        {"plot CSV", [&] { click(program->plotViewer().window(), "ExportCsv"); }},
        {"set CSV", [&] { click(program->logger().memoryWindow(), "CmdExportSet"); }},
        {"set", [&] { click(program->logger().memoryWindow(), "CmdSaveSet"); }},
        {"List CSV", [&] { click(list, "CmdExport"); }},
        // A recording's name is typed with its ".txt": the dialog would add it otherwise.
        {"recording.txt",
         [&] {
             window->toolbar()->click(panel::ToolbarKey::Save);
             sample();
             window->toolbar()->click(panel::ToolbarKey::Save);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString typed = shared.filePath(QStringLiteral("typed ") + QLatin1String(row.name));
        ASSERT_TRUE(QFile::link(mine, typed));
        dialogs.fileAnswers = {typed};
        dialogs.messages.clear();
        row.save();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(ui::IdentifyFile(typed).kind, ui::FileIdentity::Kind::Regular);
        EXPECT_GT(contents(typed).size(), 4);

        // Offered again as it was typed: another account can foresee that name.
        const ui::FileIdentity before = ui::IdentifyFile(typed);
        dialogs.fileAnswers = {std::nullopt};
        row.save();
        const ui::FileDialogState offered = dialogs.fileAsks.back().before;
        const ui::FileIdentity offeredBefore = ui::IdentifyFile(offered.fileName);
        dialogs.fileAnswers = {offered.fileName};
        dialogs.messages.clear();
        row.save();
        ASSERT_EQ(dialogs.messages.size(), 1U);
        EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String("is open to other users")));
        EXPECT_EQ(ui::IdentifyFile(offered.fileName), offeredBefore);
        EXPECT_EQ(ui::IdentifyFile(typed), before);
        EXPECT_EQ(contents(mine), "mine");
    }
}

// A file being saved is never readable by others, not even for a moment: made with the
// permissions it will have before its first byte.
TEST(SaveFile, MadeWithItsFinalPermissionsBeforeTheFirstByte)
{
    QTemporaryDir dir;
    const ui::FixedPaths paths(dir.filePath(QStringLiteral("tellarix582")));
    const mode_t mask = umask(022);
    const struct
    {
        const char* name;
        int oldMode; // -1: no file there before
        bool own;    // in the working folder
        mode_t made;
    } rows[] = {{"replaces 0600", 0600, false, 0600},
                {"replaces 0664", 0664, false, 0664},
                {"new", -1, false, 0644},
                {"working file", 0644, true, 0600}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ui::Folder folder = row.own
                                      ? paths.working().folder
                                      : ui::OpenFolderOf(dir.filePath(QStringLiteral("x"))).folder;
        const QString path = folder.filePath(QLatin1String(row.name));
        ASSERT_TRUE(row.oldMode < 0 ||
                    (write(path, "old") && chmod(QFile::encodeName(path), row.oldMode) == 0));
        mode_t seen = 0;
        QString error;
        const auto writer = [&](QIODevice& file, QString&) {
            struct stat info = {};
            fstat(static_cast<QFile&>(file).handle(), &info);
            seen = info.st_mode & 07777;
            return file.write(QByteArray(1 << 20, 's')) == 1 << 20;
        };
        EXPECT_EQ(ui::Save(folder, QLatin1String(row.name), writer, std::nullopt, error),
                  ui::SaveOutcome::Saved);
        EXPECT_EQ(seen, row.made);
        EXPECT_EQ(QFileInfo(path).size(), 1 << 20);
        struct stat saved = {};
        EXPECT_EQ(stat(QFile::encodeName(path), &saved), 0);
        EXPECT_EQ(saved.st_mode & 07777, row.made);
        QFile::remove(path);
    }
    umask(mask);
}

// A file shared with a group stays shared with it when a save replaces it.
TEST(SaveFile, KeepsTheGroupOfTheFileItReplaces)
{
    gid_t other = getegid() + 4242; // any group will do for root
    if (geteuid() != 0) {
        gid_t groups[64];
        const int n = getgroups(64, groups);
        const auto found =
            std::find_if(groups, groups + std::max(n, 0), [](gid_t g) { return g != getegid(); });
        if (found == groups + std::max(n, 0))
            GTEST_SKIP() << "no second group to give the file";
        other = *found;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lamp.txt"));
    ASSERT_TRUE(write(path, "old"));
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(chown(name, static_cast<uid_t>(-1), other), 0);
    ASSERT_EQ(chmod(name, 0660), 0);
    QString error;
    EXPECT_EQ(ui::Save(
                  ui::OpenFolderOf(path).folder, QStringLiteral("lamp.txt"),
                  [](QIODevice& file, QString&) { return file.write("new") == 3; }, std::nullopt,
                  error),
              ui::SaveOutcome::Saved);
    struct stat saved = {};
    ASSERT_EQ(stat(name, &saved), 0);
    EXPECT_EQ(saved.st_gid, other);
    EXPECT_EQ(saved.st_mode & 07777, 0660u);
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
