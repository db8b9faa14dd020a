#include "files/DataFileReader.h"
#include "files/FileCommands.h"
#include "files/PcRecorder.h"
#include "files/RecordingFile.h"
#include "logger/MemoryProtocol.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempRoot.h"
#include "ui/DateTimeSeparators.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using testsupport::FileSizeLimit;

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class Recording : public testing::Test
{
protected:
    Recording() : recorder(clock, root.paths, dialogs, [this] { return files::LiveSample{latest}; })
    {
        cmd.fileName = root.paths.startupFile();
    }

    QString target(const QString& name = QStringLiteral("run.txt")) const
    {
        return QDir(root.dir.path()).filePath(name);
    }
    // "Save" with the dialog answered by `answer` (nullopt = cancel).
    void clickSave(std::optional<QString> answer = std::nullopt)
    {
        if (!recorder.recording())
            dialogs.fileAnswers.push_back(std::move(answer));
        files::SaveCommand(recorder, dialogs, cmd, 1);
    }
    void sampleReading(double x, double y)
    {
        files::Reading reading;
        reading.Ev = 100;
        reading.x = x;
        reading.y = y;
        latest = reading;
        clock.advance(1);
        recorder.sample();
    }

    testsupport::TempRoot root;
    testsupport::FakeClock clock{QDateTime(QDate(2026, 12, 6), QTime(8, 0, 0))};
    testsupport::FakeDialogs dialogs;
    std::optional<files::Reading> latest;
    files::PcRecorder recorder;
    ui::FileDialogState cmd;
};

TEST_F(Recording, StartAndStopAtOnceWritesHeaderWithZeroTotal)
{
    clickSave(target());
    ASSERT_TRUE(recorder.recording());
    EXPECT_TRUE(dialogs.fileAsks.at(0).before.overwritePrompt);
    clickSave();
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(dialogs.messages.empty());
    // The start time carries the system's separators ("26.12.06" under a German locale).
    const auto sep = ui::SystemDateTimeSeparators();
    const QString start = QStringLiteral("Start Time : 26") + sep.date + QStringLiteral("12") +
                          sep.date + QStringLiteral("06 08") + sep.time + QStringLiteral("00") +
                          sep.time + QStringLiteral("00\r");
    const QList<QByteArray> lines = contents(target()).split('\n');
    ASSERT_EQ(lines.size(), 8); // seven lines and nothing after the last line end
    EXPECT_EQ(lines[1], start.toLatin1());
    EXPECT_EQ(lines[2], "Total Records : 0\r");
    // The recording file stays in place after the stop.
    EXPECT_TRUE(QFile::exists(root.paths.recordingTemp()));
}

// Cancelled, or a folder chosen with no file named in it.
TEST_F(Recording, CancelLeavesEverythingUntouched)
{
    QDir().mkpath(root.paths.root());
    QFile old(root.paths.recordingTemp());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous recording");
    old.close();
    QSignalSpy changes(&recorder, &files::PcRecorder::recordingChanged);

    clickSave(std::nullopt);
    clickSave(root.dir.path() + QLatin1Char('/'));

    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(contents(root.paths.recordingTemp()), QByteArray("previous recording"));
}

TEST_F(Recording, ReadingsAreReadBackWithTheirValues)
{
    QSignalSpy changes(&recorder, &files::PcRecorder::recordingChanged);
    clickSave(target());
    sampleReading(0.3127, 0.3290);
    // Each record is on disk when it is written.
    files::Reading expected = *latest;
    expected.year = 2026;
    expected.month = 12;
    expected.day = 6;
    expected.hour = 8;
    expected.second = 1;
    EXPECT_TRUE(contents(root.paths.recordingTemp())
                    .endsWith(QByteArray::fromStdString(files::RecordLine(expected)) + "\r\n"));
    recorder.sample(); // no new reading: the latest one again, a second later
    latest.reset();
    recorder.sample(); // no reading at all: nothing written
    sampleReading(0.4476, 0.4074);
    clickSave();
    ASSERT_EQ(changes.count(), 2);

    const QList<QByteArray> lines = contents(target()).split('\n');
    EXPECT_EQ(lines.at(2), QByteArray("Total Records : 3\r"));
    EXPECT_TRUE(lines.at(7).startsWith("2026/12/06  08:00:01")) << lines.at(7).toStdString();
    EXPECT_TRUE(lines.at(9).startsWith("2026/12/06  08:00:02")) << lines.at(9).toStdString();

    files::RecordTable records;
    ASSERT_EQ(files::ReadDataFile(target(), records).outcome, files::ReadOutcome::Ok);
    ASSERT_EQ(records.count(), 3u);
    EXPECT_EQ(std::string(records.x(2)) + std::string(records.y(2)) + std::string(records.x(3)) +
                  std::string(records.y(3)),
              " 0.3127 0.3290 0.4476 0.4074");
}

TEST_F(Recording, StartThatCannotWriteStopsWithAMessage)
{
    // The target's folder is missing.
    clickSave(target(QStringLiteral("missing/folder/run.txt")));
    EXPECT_FALSE(recorder.recording());
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("has not started")));
    // A folder stands where the recording file should be.
    ASSERT_TRUE(QDir().mkpath(root.paths.recordingTemp()));
    clickSave(target());
    EXPECT_FALSE(recorder.recording());
    ASSERT_EQ(dialogs.messages.size(), 2U);
    EXPECT_TRUE(
        dialogs.messages[1].text.contains(QDir::toNativeSeparators(root.paths.recordingTemp())));
    EXPECT_TRUE(dialogs.messages[1].text.contains(qt_error_string(EISDIR)))
        << dialogs.messages[1].text.toStdString();
    EXPECT_FALSE(QFile::exists(target()));
}

// Another account swaps the target's name between start and stop: the stop never writes
// through it, asks for another name and saves there, or keeps the records when there is none.
TEST_F(Recording, TargetSwappedDuringTheRecordingIsNotWrittenThrough)
{
    const QString other = target(QStringLiteral("other.txt"));
    const struct
    {
        bool existedAtStart;
        bool symbolic; // the swap puts a link to the other file there, else a hard link
        std::optional<QString> answer;
    } rows[] = {{false, true, target(QStringLiteral("new1.txt"))},
                {true, false, target(QStringLiteral("new2.txt"))},
                {false, true, std::nullopt}};
    for (const auto& row : rows) {
        QFile::remove(target());
        QFile::remove(other);
        ASSERT_TRUE(write(other, "not yours") && (!row.existedAtStart || write(target(), "old")));
        dialogs.messages.clear();
        clickSave(target());
        sampleReading(0.31, 0.32);
        QFile::remove(target());
        ASSERT_EQ(row.symbolic ? symlink("other.txt", qPrintable(target()))
                               : link(qPrintable(other), qPrintable(target())),
                  0);
        dialogs.fileAnswers.push_back(row.answer);
        clickSave();

        EXPECT_EQ(contents(other), QByteArray("not yours"));
        EXPECT_TRUE(dialogs.fileAsks.back().save);
        ASSERT_EQ(dialogs.messages.size(), row.answer ? 1U : 2U); // the second: records kept
        files::RecordTable saved;
        ASSERT_EQ(
            files::ReadDataFile(row.answer.value_or(root.paths.recordingTemp()), saved).outcome,
            files::ReadOutcome::Ok);
        EXPECT_EQ(saved.y(saved.count()), " 0.3200");
    }
}

// The disk fills up in the middle of a recording: one message, and the records taken so far
// stay in the recording file as whole lines. A stop that cannot save them leaves them there.
TEST_F(Recording, FullDiskKeepsTheRecordsTakenSoFar)
{
    clickSave(target());
    for (int i = 0; i < 5; ++i)
        sampleReading(0.31, 0.32);
    {
        // Room for a line and a half more, so that the next-but-one line is cut off.
        FileSizeLimit limit(QFileInfo(root.paths.recordingTemp()).size() + 180);
        for (int i = 0; i < 400; ++i)
            sampleReading(0.31, 0.32);
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String("records taken so far")));
    // The system's reason, not one lost by cutting the file back.
    EXPECT_TRUE(dialogs.messages[0].text.contains(qt_error_string(EFBIG)))
        << dialogs.messages[0].text.toStdString();
    const QByteArray recorded = contents(root.paths.recordingTemp());
    EXPECT_TRUE(recorded.endsWith("\r\n")) << "a cut-off line at the end of the recording file";
    long long whole = 0;
    for (const QByteArray& line : recorded.split('\n'))
        whole += line.size() == 120 && files::IsRecordItem(line.chopped(1).toStdString()) ? 1 : 0;
    EXPECT_EQ(whole, recorder.recordCount());
    EXPECT_EQ(recorder.recordCount(), 6);
    {
        FileSizeLimit limit(recorded.size() / 2); // the recording with its total does not fit
        clickSave();
    }
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QLatin1String("Its records stay")));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_EQ(contents(root.paths.recordingTemp()), recorded);
}

// A stop that cannot save says where the records stay; the next recording keeps them aside
// instead of emptying them.
TEST_F(Recording, RecordsOfAFailedSaveSurviveTheNextRecording)
{
    ASSERT_TRUE(QDir(root.dir.path()).mkdir(QStringLiteral("gone")));
    clickSave(target(QStringLiteral("gone/run.txt")));
    sampleReading(0.31, 0.32);
    ASSERT_TRUE(QDir(target(QStringLiteral("gone"))).removeRecursively());
    const QByteArray recorded = contents(root.paths.recordingTemp());
    clickSave();
    EXPECT_FALSE(recorder.recording());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QDir::toNativeSeparators(root.paths.recordingTemp())));

    clickSave(target(QStringLiteral("next.txt")));
    EXPECT_TRUE(recorder.recording());
    const QFileInfo temp(root.paths.recordingTemp());
    const QStringList aside =
        temp.dir().entryList({temp.completeBaseName() + QStringLiteral("-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(contents(temp.dir().filePath(aside[0])), recorded);
}

TEST(FullDisk, DownloadThatCannotBeSavedLeavesNoPartialFile)
{
    testsupport::TempRoot root;
    const QString path = root.paths.downloadFile();
    ASSERT_TRUE(logger::SaveSetText(root.paths, "an earlier set"));
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(logger::SaveSetText(root.paths, QByteArray(20000, 'r')));
    }
    EXPECT_EQ(contents(path), QByteArray("an earlier set\r\n"));
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files).size(), 1);
}

} // namespace
