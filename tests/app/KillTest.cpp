// The program as a child process: killed with SIGKILL in the middle of a recording and of
// a download, what was written before the kill is on the disk whole and no file is left
// half-written; started without a display, it answers or says why in one line.
#include "files/DataFileReader.h"
#include "ui/FixedPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The program over the virtual meter with its fixed places in `root`, running one job (see
// KillTarget.cpp); nothing of the user's.
class Child
{
public:
    Child(const QString& root, const QString& job, const QString& argument)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CACHE_HOME"), root);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProgram(QStringLiteral(KILL_TARGET));
        m_process.setArguments({job, argument});
        m_process.start();
    }
    ~Child()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool started() { return m_process.waitForStarted(10000); }

    // Reads the child's lines until one starts with `prefix`; gives up after `maxWaits`
    // empty waits of a tenth of a second (a bound against a hang, not a timing test).
    QByteArray waitForLine(const QByteArray& prefix, int maxWaits = 300)
    {
        for (int waits = 0; waits < maxWaits;) {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                m_lines << line;
                if (line.startsWith(prefix))
                    return line;
            }
            if (m_process.state() == QProcess::NotRunning)
                return {};
            if (!m_process.waitForReadyRead(100))
                ++waits;
        }
        return {};
    }

    // SIGKILL: no handler runs, nothing is flushed.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
        for (const QByteArray& line : m_process.readAllStandardOutput().split('\n'))
            m_lines << line.trimmed();
    }

    // The last "<prefix> <n>" line the child printed before it died.
    long long lastNumber(const QByteArray& prefix) const
    {
        long long last = 0;
        for (const QByteArray& line : m_lines) {
            if (line.startsWith(prefix))
                last = line.mid(prefix.size()).trimmed().toLongLong();
        }
        return last;
    }

private:
    QProcess m_process;
    QList<QByteArray> m_lines;
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Temporary names of atomic saves ("<name>.XXXXXX") in `folder`.
QStringList SaveLeftovers(const QString& folder)
{
    return QDir(folder).entryList(
        {QStringLiteral("Lum.tmp.*"), QStringLiteral("out.txt.*"), QStringLiteral("TEMF.txt.*")},
        QDir::Files | QDir::Hidden);
}

TEST(KilledProgram, RecordingFileKeepsEveryRecordWrittenBeforeTheKill)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString target = tmp.filePath(QStringLiteral("out.txt"));
    const ui::FixedPaths paths(QDir(tmp.path()).filePath(QStringLiteral("tellarix582")));

    Child child(tmp.path(), QStringLiteral("record"), target);
    ASSERT_TRUE(child.started());
    ASSERT_FALSE(child.waitForLine("record 25").isEmpty()) << "the recording did not run";
    child.kill();
    const long long printed = child.lastNumber("record ");
    ASSERT_GE(printed, 25);

    const QByteArray recorded = ReadAll(paths.recordingTemp());
    ASSERT_FALSE(recorded.isEmpty());
    // Every line in the file is whole: the last one ends with its line end.
    EXPECT_TRUE(recorded.endsWith("\r\n"));
    long long records = 0;
    for (const QByteArray& line : recorded.split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (files::IsRecordItem(std::string_view(text.constData(), text.size()))) {
            ++records;
            EXPECT_EQ(text.size(), 119) << text.constData();
        }
    }
    // Each record the program reported was on the disk before it said so.
    EXPECT_GE(records, printed);
    // The target is written only at the stop, so it is absent rather than half-written.
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(SaveLeftovers(tmp.path()).isEmpty());
}

TEST(KilledProgram, DownloadLeavesTheEarlierSetTextWhole)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const ui::FixedPaths paths(QDir(tmp.path()).filePath(QStringLiteral("tellarix582")));
    ASSERT_TRUE(QDir().mkpath(paths.tempFolder()));
    ASSERT_TRUE(QFile::setPermissions(paths.root(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray earlier = "an earlier set\r\n2026/12/01  08:00:00 ...\r\n";
    QFile file(paths.downloadFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    file.close();

    // The largest of the demo meter's sets: a few hundred reports at 2 ms each.
    Child child(tmp.path(), QStringLiteral("download"), QStringLiteral("12"));
    ASSERT_TRUE(child.started());
    ASSERT_FALSE(child.waitForLine("download running").isEmpty());
    child.waitForLine("download done", 2); // a moment into the transfer
    child.kill();

    // Either the transfer was still running (the earlier text stays as it was) or it had
    // finished (a whole set text); never a mixture or a cut-off file.
    const QByteArray now = ReadAll(paths.downloadFile());
    if (now != earlier) {
        EXPECT_TRUE(now.endsWith("\r\n"));
        EXPECT_GT(now.size(), earlier.size());
    }
    EXPECT_TRUE(SaveLeftovers(paths.tempFolder()).isEmpty());
}

TEST(NoDisplay, HelpAndVersionAnswerAndABareStartSaysWhyInOneLine)
{
    const struct
    {
        const char* argument;
        int exitCode;
        QByteArray printed; // on standard output, or on standard error for a failure
    } rows[] = {{"--help", 0, "--demo"}, {"--version", 0, "8.01"}, {"", 1, "no display"}};
    for (const auto& row : rows) {
        QTemporaryDir cache;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TELLARIX_EXE),
                      *row.argument ? QStringList{QLatin1String(row.argument)} : QStringList{});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << row.argument; // no abort
        EXPECT_EQ(process.exitCode(), row.exitCode);
        const QByteArray text =
            row.exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
        EXPECT_TRUE(text.contains(row.printed)) << text.data();
        EXPECT_TRUE(row.exitCode == 0 || text.trimmed().count('\n') == 0) << text.data();
        EXPECT_TRUE(QDir(cache.path()).isEmpty());
    }
}

// The settings are forgotten before anything reads them, a window or not.
TEST(NoDisplay, ResetSettingsForgetsWhatWasKept)
{
    QTemporaryDir cache;
    QTemporaryDir config;
    const QString kept = config.filePath(QStringLiteral("tellarix582/Tellarix 582.conf"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(kept).path()));
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Panel]\npcInterval=42\n[Windows]\nGraph=@Rect(10 20 300 200)\n");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TELLARIX_EXE), {QStringLiteral("--reset-settings")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1); // no display to go on with
    QFile file(kept);
    EXPECT_FALSE(file.open(QIODevice::ReadOnly) && file.readAll().contains("pcInterval"));
}

} // namespace
