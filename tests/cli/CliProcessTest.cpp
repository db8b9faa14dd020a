#include "files/DataFileReader.h"
#include "ui/FixedPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

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

// The built program against its virtual meter, with no display to be had: a server's shell.
TEST(CliProcess, RunsWithoutADisplayAndSavesARecordingOnCtrlC)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
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
    QFile recording(
        ui::FixedPaths(home.filePath(QStringLiteral("cache/tellarix582"))).recordingTemp());
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

} // namespace
