#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "files/RecordingFile.h"
#include "ui/FixedPaths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

// Starts the program; while another program holds the user's meter lock (another test run on
// the machine), waits and starts it again.
void Start(QProcess& process, const QStringList& arguments)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        process.start(QStringLiteral(CLI_EXE), arguments);
        if (!process.waitForFinished(300) || process.exitCode() != 2 ||
            !process.readAllStandardError().contains("is already running"))
            return;
        QThread::msleep(200);
    }
}

// A server's shell: no display to be had, the working files under `home`.
QProcessEnvironment ServerEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    return env;
}

QString RecordingFile(const QTemporaryDir& home)
{
    return ui::FixedPaths(home.filePath(QStringLiteral("cache/tellarix582"))).recordingTemp();
}

// The built program against its virtual meter, with no display to be had.
TEST(CliProcess, RunsWithoutADisplayAndSavesARecordingOnCtrlC)
{
    QTemporaryDir home;
    const QProcessEnvironment env = ServerEnvironment(home);
    QProcess read;
    read.setProcessEnvironment(env);
    Start(read, {"--demo", "read", "--count", "3", "--interval", "0.3"});
    ASSERT_TRUE(read.waitForFinished(30000));
    EXPECT_EQ(read.exitCode(), 0) << read.readAllStandardError().toStdString();
    EXPECT_EQ(read.readAllStandardOutput().count('\n'), 4);

    const QString target = home.filePath(QStringLiteral("rec.txt"));
    QProcess record;
    record.setProcessEnvironment(env);
    Start(record, {"--demo", "record", target});
    // Ctrl-C once two records are on the disk.
    QFile recording(RecordingFile(home));
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && record.state() == QProcess::Running &&
           (!recording.open(QIODevice::ReadOnly) || recording.readAll().count('\n') < 8)) {
        recording.close();
        QThread::msleep(50);
    }
    ::kill(static_cast<pid_t>(record.processId()), SIGINT);
    ASSERT_TRUE(record.waitForFinished(30000));
    EXPECT_EQ(record.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(record.exitCode(), 0) << record.readAllStandardError().toStdString();

    files::RecordTable records;
    ASSERT_EQ(files::ReadDataFile(target, records).outcome, files::ReadOutcome::Ok);
    EXPECT_GE(static_cast<int>(records.count()), 2);
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains(QStringLiteral("Total Records : %1\r\n")
                                             .arg(static_cast<int>(records.count()))
                                             .toLatin1()));

    // The report draws its page on no display at all.
    const QString pdf = home.filePath(QStringLiteral("rec.pdf"));
    QProcess report;
    report.setProcessEnvironment(env);
    Start(report, {"report", target, "--output", pdf, "--region", "5000 K"});
    ASSERT_TRUE(report.state() == QProcess::NotRunning || report.waitForFinished(30000));
    EXPECT_EQ(report.exitCode(), 0) << report.readAllStandardError().toStdString();
    QFile page(pdf);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().startsWith("%PDF-"));
}

// The disk fills up in the middle of a recording: the file size limit lets the recording file
// take its header and two records, and the third fails. The run ends at once with the system's
// reason, and the recording file keeps whole lines only. With room to spare the two records are
// saved to the target with their total; with none (a really full disk: the target needs a little
// more room than the recording) the save fails, and they stay in the recording file, which the
// reader takes as it is and the next recording keeps aside.
TEST(CliProcess, RecordStopsWhenTheDiskFills)
{
    const auto recordBytes = static_cast<qint64>(files::RecordLine({}).size() + 2); // CR LF
    const qint64 twoRecords =
        files::RecordingStartText(QDateTime::currentDateTime(), 1).size() + 2 * recordBytes;
    const struct
    {
        const char* name;
        qint64 room; // the limit beyond the two records
        bool saved;
        const char* says;
    } rows[] = {
        {"target saved", recordBytes - 1, true, "2 records written to"},
        {"target too large as well", 0, false, "Its records stay in"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir home;
        const QString target = home.filePath(QStringLiteral("rec.txt"));
        QProcess record;
        record.setProcessEnvironment(ServerEnvironment(home));
        const rlim_t limit = static_cast<rlim_t>(twoRecords + row.room);
        record.setChildProcessModifier([limit] {
            // A write beyond the limit fails with EFBIG instead of killing the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit size = {limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &size);
        });
        Start(record, {"--demo", "record", target});
        ASSERT_TRUE(record.waitForFinished(30000)) << "the recording did not stop";
        const std::string err = record.readAllStandardError().toStdString();
        EXPECT_EQ(record.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(record.exitCode(), 3) << err;
        for (const char* said : {"cannot be written: File too large", row.says})
            EXPECT_NE(err.find(said), std::string::npos) << said << '\n' << err;

        QFile recording(RecordingFile(home));
        EXPECT_EQ(recording.size(), twoRecords);
        const QString kept = row.saved ? target : recording.fileName();
        // Nothing half-written beside the target either.
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files),
                  row.saved ? QStringList{QStringLiteral("rec.txt")} : QStringList{});
        files::RecordTable records;
        ASSERT_EQ(files::ReadDataFile(kept, records).outcome, files::ReadOutcome::Ok);
        EXPECT_EQ(static_cast<int>(records.count()), 2);
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().contains("Total Records : 2\r\n"), row.saved);
    }
}

} // namespace
