// A disk that fills up in the middle of a recording or a download: the user gets a message,
// the records taken so far stay in the recording file as whole lines, and nothing is left
// half-written.
#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "logger/MemoryProtocol.h"
#include "plot/PlotWindow.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PanelHarness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using testsupport::FileSizeLimit;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A tmpfs of a few pages, when the test may mount one (root in a container that allows it).
class TinyDisk
{
public:
    TinyDisk()
    {
        if (geteuid() != 0 || !m_dir.isValid())
            return;
        const QByteArray where = QFile::encodeName(m_dir.path());
        m_mounted = mount("tmpfs", where.constData(), "tmpfs", 0, "size=16k") == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            umount(QFile::encodeName(m_dir.path()).constData());
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

files::Reading SomeReading()
{
    return {.X = 303.0, .Y = 296.7, .Z = 197.2, .Ev = 296.7, .Tcp = 3973, .x = 0.3802, .y = 0.3723};
}

// A recorder with a fixed clock, scripted dialogs and the program's places under `root`.
struct Recording
{
    explicit Recording(const QString& root) : paths(root) {}
    void samples(int count)
    {
        for (int i = 0; i < count; ++i) {
            recorder.sample();
            clock.advance(1);
        }
    }

    testsupport::FakeClock clock;
    testsupport::FakeDialogs dialogs;
    const ui::FixedPaths paths;
    files::PcRecorder recorder{clock, paths, dialogs, [] { return SomeReading(); }};
};

struct RecordingRun
{
    long long records = 0; // what the recorder counted
    QByteArray file;       // the recording file after the stop
    std::vector<testsupport::FakeDialogs::Message> messages;
    bool stopped = false;
};

// Records into a recording file under `root` until well past the point where the disk is
// full, then stops into `target` (on a disk with room).
RecordingRun RecordUntilFull(const QString& root, const QString& target,
                             const std::function<void()>& diskFills)
{
    Recording r(root);
    RecordingRun run;
    if (!r.recorder.start(target, 1))
        return run;
    r.samples(5);
    diskFills();
    r.samples(400);
    run.records = r.recorder.recordCount();
    run.stopped = r.recorder.stop();
    run.messages = r.dialogs.messages;
    run.file = ReadAll(r.paths.recordingTemp());
    return run;
}

void ExpectWholeRecords(const RecordingRun& run)
{
    ASSERT_FALSE(run.file.isEmpty());
    // One message for the failed write, not one per sample.
    ASSERT_GE(run.messages.size(), 1u);
    EXPECT_TRUE(run.messages.front().text.contains(QLatin1String("records taken so far")))
        << run.messages.front().text.toStdString();
    EXPECT_TRUE(run.file.endsWith("\r\n")) << "a cut-off line at the end of the recording file";
    long long whole = 0;
    for (const QByteArray& line : run.file.split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (files::IsRecordItem(std::string_view(text.constData(), text.size())))
            whole += text.size() == 119 ? 1 : 0;
    }
    EXPECT_EQ(whole, run.records);
    EXPECT_GE(run.records, 5);
    EXPECT_LT(run.records, 405);
}

TEST(FullDisk, InjectedWriteFailureKeepsTheRecordsTakenSoFar)
{
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(root.isValid() && elsewhere.isValid());
    const QString target = elsewhere.filePath(QStringLiteral("session.txt"));
    std::unique_ptr<FileSizeLimit> limit;
    const QString recordingFile = ui::FixedPaths(root.path()).recordingTemp();
    const RecordingRun run = RecordUntilFull(root.path(), target, [&] {
        // Room for a line and a half more, so that the next-but-one line is cut off.
        limit = std::make_unique<FileSizeLimit>(
            static_cast<rlim_t>(QFileInfo(recordingFile).size() + 180));
    });
    ASSERT_TRUE(limit && limit->active());
    limit.reset();
    ExpectWholeRecords(run);
}

TEST(FullDisk, RealFullDiskKeepsTheRecordsTakenSoFar)
{
    TinyDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("session.txt"));
    const RecordingRun run = RecordUntilFull(disk.path(), target, [&] {
        // Fill the disk: the recording file can grow only to the end of the page it has.
        QFile filler(QDir(disk.path()).filePath(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    });
    ExpectWholeRecords(run);
    // The stop wrote the target on the other disk, with every record kept.
    EXPECT_TRUE(run.stopped);
    EXPECT_TRUE(QFile::exists(target));
}

TEST(FullDisk, TargetThatCannotBeSavedKeepsTheRecordingFile)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString target = root.filePath(QStringLiteral("session.txt"));
    Recording r(root.path());
    ASSERT_TRUE(r.recorder.start(target, 1));
    r.samples(8);
    const QByteArray recorded = ReadAll(r.paths.recordingTemp());
    bool saved = true;
    {
        // The recording with its total line does not fit any more.
        FileSizeLimit limit(static_cast<rlim_t>(recorded.size() / 2));
        ASSERT_TRUE(limit.active());
        saved = r.recorder.stop();
    }
    EXPECT_FALSE(saved);
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_TRUE(r.dialogs.messages[0].text.contains(QLatin1String("Its records stay")));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(ReadAll(r.paths.recordingTemp()), recorded);
}

TEST(FullDisk, DownloadThatCannotBeSavedLeavesNoPartialFile)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString path = root.filePath(QStringLiteral("Temp/Lum.tmp"));
    ASSERT_TRUE(logger::SaveSetText(path, "an earlier set"));
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(logger::SaveSetText(path, QByteArray(20000, 'r')));
    }
    EXPECT_EQ(ReadAll(path), QByteArray("an earlier set\r\n"));
    EXPECT_EQ(QDir(root.filePath(QStringLiteral("Temp"))).entryList(QDir::Files).size(), 1);
}

// "Print" without a printer writes a PDF file: on a full disk the user is told why, and the
// PDF written before stays whole.
TEST(FullDisk, PdfThatDoesNotFitKeepsTheOldFileAndSaysWhy)
{
    TinyDisk disk;
    QTemporaryDir folder;
    for (const bool tiny : {false, true}) {
        if (tiny && !disk.mounted())
            continue;
        SCOPED_TRACE(tiny ? "full tmpfs" : "file size limit");
        QDir dir(tiny ? disk.path() : folder.path());
        const QString pdf = dir.filePath(QStringLiteral("plot.pdf"));
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("%PDF an earlier plot");
        old.close();

        testsupport::Harness<> h;
        plot::PlotSettings settings;
        plot::PlotWindow window(h.services, {}, nullptr, settings);
        window.resize(630, 660);
        window.show();
        h.dialogs.printerPresent = false;
        h.dialogs.fileAnswers = {pdf};
        std::unique_ptr<FileSizeLimit> limit;
        if (tiny) {
            QFile filler(dir.filePath(QStringLiteral("filler")));
            filler.open(QIODevice::WriteOnly);
            while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
            }
        } else {
            limit = std::make_unique<FileSizeLimit>(1024);
            ASSERT_TRUE(limit->active());
        }
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Print")), Qt::LeftButton);
        limit.reset();

        EXPECT_EQ(ReadAll(pdf), QByteArray("%PDF an earlier plot"));
        ASSERT_EQ(h.dialogs.messages.size(), 2u); // the offer of a PDF file, then the failure
        const QStringList told = h.dialogs.messages[1].text.split(QLatin1Char('\n'));
        EXPECT_EQ(told.value(0), QStringLiteral("The PDF file could not be written: ") +
                                     QDir::toNativeSeparators(pdf));
        EXPECT_FALSE(told.value(1).isEmpty()); // the reason
        dir.remove(QStringLiteral("filler"));
        EXPECT_EQ(dir.entryList(QDir::Files), QStringList{QStringLiteral("plot.pdf")});
    }
}

} // namespace
