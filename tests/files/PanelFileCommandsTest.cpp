#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "files/RecordFields.h"
#include "files/RecordLine.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/PlotCanvas.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotWindow.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterMemory.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

// "Save" and "Open" through the main window's toolbar, with the virtual meter on the link.
class PanelFileCommands : public testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    QString path(const QString& name) const { return QDir(root.dir.path()).filePath(name); }
    QString recIndicator() const
    {
        return window->findChild<QLabel*>(QStringLiteral("LblRec"))->text();
    }
    QString saveTip() const
    {
        // The first line is the button's caption; what it does follows.
        return window->toolbar()
            ->button(panel::ToolbarKey::Save)
            ->toolTip()
            .section(QLatin1Char('\n'), 0, 0);
    }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A mouse click on a toolbar button of the main window.
    void press(const char* key)
    {
        QTest::mouseClick(window->toolbar()->findChild<QToolButton*>(QLatin1String(key)),
                          Qt::LeftButton);
    }
    // Every file under the temporary folder with its bytes.
    std::map<QString, QByteArray> everyFile() const
    {
        std::map<QString, QByteArray> all;
        for (QDirIterator it(root.dir.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            all[file.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : "?";
        }
        return all;
    }

    files::PlotDocument& document() const { return program->document(); }
    // A mouse click on a button of the plot window.
    void clickPlot(const char* name) const
    {
        QTest::mouseClick(program->plotViewer().window()->findChild<QAbstractButton*>(name),
                          Qt::LeftButton);
    }
};

TEST_F(PanelFileCommands, RecordsLiveFramesAndSurvivesAnOpenAndASaveDialog)
{
    dialogs.fileAnswers.push_back(path(QStringLiteral("run.txt")));
    window->toolbar()->click(panel::ToolbarKey::Save);
    ASSERT_TRUE(program->recorder().recording());
    EXPECT_EQ(recIndicator(), QStringLiteral("Rec."));
    EXPECT_EQ(saveTip(), QStringLiteral("Stop Recording"));

    window->pollMeter();
    clock.advance(1);
    program->recorder().sample();
    clock.advance(1);
    program->recorder().sample(); // no frame since the last sample: nothing recorded

    write(QStringLiteral("other.txt"), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    dialogs.fileAnswers.push_back(path(QStringLiteral("other.txt")));
    window->toolbar()->click(panel::ToolbarKey::Open);
    EXPECT_NE(program->plotViewer().window(), nullptr);
    EXPECT_EQ(document().name(), QStringLiteral("other.txt"));
    EXPECT_TRUE(testsupport::LivePollRunning(*window));
    dialogs.fileAnswers.push_back(path(QStringLiteral("regions.user"))); // and a region file
    clickPlot("Unit");
    clickPlot("CmdSave");

    window->pollMeter();
    clock.advance(1);
    program->recorder().sample();
    window->toolbar()->click(panel::ToolbarKey::Save);
    EXPECT_FALSE(program->recorder().recording());
    EXPECT_EQ(recIndicator(), QString());
    EXPECT_EQ(saveTip(), QStringLiteral("Save As"));
    EXPECT_TRUE(dialogs.messages.empty());

    files::RecordTable recorded;
    ASSERT_EQ(files::ReadDataFile(path(QStringLiteral("run.txt")), recorded).outcome,
              files::ReadOutcome::Ok);
    EXPECT_EQ(recorded.count(), 2u);
    EXPECT_NE(recorded.x(2).find_first_not_of(' '), std::string_view::npos);
}

// Frames the meter marks invalid (its set-up menu, an overload) make no record and are counted
// on the status line; a colour temperature out of range leaves Tcp and delta-uv blank.
TEST_F(PanelFileCommands, RecordingLeavesOutWhatTheMeterMarksInvalid)
{
    using virtualmeter::Light;
    dialogs.fileAnswers.push_back(path(QStringLiteral("run.txt")));
    press("Save");
    const std::pair<bool, Light> frames[] = {{false, Light{5000, 0, 500}},
                                             {true, Light{5000, 0, 500}},
                                             {false, Light{5000, 0, 300000}},
                                             {false, Light{5000, 0.06, 500}}};
    for (const auto& [setUp, light] : frames) {
        meter.model().setInSetup(setUp);
        meter.model().setLight(light);
        window->pollMeter();
        clock.advance(1);
        program->recorder().sample();
    }
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("LblLeftOut"))->text().toStdString(),
              "2 samples left out (set-up menu or overload)");
    press("Save");

    QFile saved(path(QStringLiteral("run.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    ASSERT_EQ(lines.size(), 10); // the header, two records and nothing after the last line end
    EXPECT_EQ(lines[2], QByteArray("Total Records : 2\r"));
    const auto value = [&lines](int line, files::RecordValue field) {
        return files::ParseRecordValue(lines[line].toStdString(), field);
    };
    EXPECT_NEAR(value(7, files::RecordValue::Tcp)->value, 5000, 50);
    EXPECT_TRUE(value(7, files::RecordValue::duv) && value(8, files::RecordValue::y));
    EXPECT_FALSE(value(8, files::RecordValue::Tcp) || value(8, files::RecordValue::duv));
}

// Through the dialog and named on the command line (as a file manager opens a file): one
// message naming the file and the reason, at once, the document as it was and no plot; a
// cancelled dialog the same without a message.
TEST_F(PanelFileCommands, FailedOpenTellsWhichFileAndWhy)
{
    write(QStringLiteral("empty.txt"), "");
    write(QStringLiteral("short.txt"), "Title\r\nStart\r\n\r\nInterval\r\n");
    ASSERT_TRUE(QDir(root.dir.path()).mkdir(QStringLiteral("folder.txt")));
    ASSERT_EQ(mkfifo(QFile::encodeName(path(QStringLiteral("pipe.txt"))).constData(), 0600), 0);
    const QString notAFile = QStringLiteral("not a file");
    const std::vector<std::pair<QString, QString>> rows = {
        {QString(), QString()}, // the dialog cancelled: nothing to tell
        {path(QStringLiteral("gone.txt")), QString::fromLocal8Bit(std::strerror(ENOENT))},
        {path(QStringLiteral("empty.txt")), QStringLiteral("the file is empty")},
        {path(QStringLiteral("short.txt")), QStringLiteral("not a data file")},
        {path(QStringLiteral("folder.txt")), notAFile},
        {path(QStringLiteral("pipe.txt")), notAFile}, // no writer: would wait for ever
        {QStringLiteral("/dev/zero"), notAFile},      // would never end
    };
    files::RecordTable shown;
    shown.append(" 0.3127", " 0.3290");
    document().open(shown, QStringLiteral("shown.txt"), {});
    for (const auto& [file, reason] : rows) {
        for (const bool dialog : {true, false}) {
            SCOPED_TRACE(file.toStdString() + (dialog ? " from the dialog" : " by name"));
            dialogs.messages.clear();
            if (dialog) {
                dialogs.fileAnswers = {file.isEmpty() ? std::nullopt : std::optional(file)};
                press("Open");
            } else if (!file.isEmpty()) {
                program->openDataFile(file);
            }
            ASSERT_EQ(dialogs.messages.size(), file.isEmpty() ? 0u : 1u);
            for (const auto& told : dialogs.messages) {
                EXPECT_TRUE(told.text.startsWith('"' + QDir::toNativeSeparators(file) + '"'));
                EXPECT_TRUE(told.text.contains(reason)) << told.text.toStdString();
                EXPECT_EQ(told.icon, ui::MsgIcon::Critical);
            }
            EXPECT_EQ(document().records(), shown);
            EXPECT_EQ(document().name(), QStringLiteral("shown.txt"));
            EXPECT_EQ(program->plotViewer().window(), nullptr);
            EXPECT_TRUE(testsupport::LivePollRunning(*window));
        }
    }
}

// Lines that end in CR alone, past the longest line the reader holds (64 MiB, a megabyte here)
// and without a final line end: "Open" and the plot's "Export CSV..." take every record. The
// one line that ends in CR LF has its LF in the second block read: no empty line there. A line
// too long to hold is refused with a message, never read in part.
TEST_F(PanelFileCommands, CrOnlyRecordingPastTheLineLimitIsReadWholeOrRefused)
{
    constexpr int Block = 1 << 20;
    files::SetMaxLineBytes(Block);
    const auto restore = qScopeGuard([] { files::SetMaxLineBytes(files::DefaultMaxLineBytes); });
    const QByteArray record = QByteArray::fromStdString(files::RecordLine({.x = 0.3127}) + '\r');
    const QByteArray last = QByteArray::fromStdString(files::RecordLine({.x = 0.4476}));
    const QByteArray header = "Title\rStart\rTotal\rInterval\rX Y Z\r";
    const auto size = static_cast<int>(record.size());
    const int before = (Block - static_cast<int>(header.size())) / size - 1;
    const QByteArray title(Block - size - before * size - static_cast<int>(header.size()), 'T');
    const int records = 3 * Block / size;
    write(QStringLiteral("cr.txt"), title + header + record.repeated(before) + record + '\n' +
                                        record.repeated(records - before - 2) + last);
    dialogs.fileAnswers = {path(QStringLiteral("cr.txt")), path(QStringLiteral("cr.csv"))};
    press("Open");
    ASSERT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(document().recordCount(), static_cast<std::size_t>(records));
    EXPECT_EQ(document().records().x(static_cast<std::size_t>(records)), " 0.4476");
    clickPlot("ExportCsv");
    QFile csv(path(QStringLiteral("cr.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray rows = csv.readAll();
    EXPECT_EQ(rows.count('\n'), records + 1);
    EXPECT_TRUE(rows.endsWith(",0.4476,0.0000,0.0000,0.0000,0,0.0000\r\n"));

    write(QStringLiteral("long.txt"), header + record + QByteArray(1 << 20, 'x') + '\r');
    const files::RecordTable shown = document().records();
    dialogs.fileAnswers = {path(QStringLiteral("long.txt"))};
    press("Open");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              '"' + QDir::toNativeSeparators(path(QStringLiteral("long.txt"))) +
                  "\" cannot be opened: it is not a data file (a line longer than 1 MiB).");
    EXPECT_EQ(document().records(), shown);
}

// With the plot window open, every Open and a downloaded set's Plot redraw it: caption, markers
// and statistics of the records just read, and the exports take those: a file changed on disk
// since is refused, a set still exports after the next download has rewritten its file. A
// failed Open leaves the shown file's name with its records.
TEST_F(PanelFileCommands, OpenAndPlotRedrawAnOpenPlotWindowThatExportsWhatItShows)
{
    const auto recording = [](double x, int count) {
        QByteArray text = "Title\r\nStart\r\nTotal\r\nInterval\r\nX Y Z\r\n";
        for (int k = 1; k <= count; ++k)
            text += files::RecordLine({.year = 2026, .second = k, .x = x, .y = 0.3}) + "\r\n";
        return text;
    };
    write(QStringLiteral("a.txt"), recording(0.3, 2));
    write(QStringLiteral("b.txt"), recording(0.6, 3));
    write(QStringLiteral("c.txt"), "");
    meter.model().memory().setSets(
        {{{2026, 12, 5, 16, 39, 5}, 1, false, {}, recording(0.45, 4).toStdString()}});
    const QString csv = path(QStringLiteral("out.csv"));
    dialogs.fileAnswers = {path(QStringLiteral("b.txt")), csv, csv, path(QStringLiteral("c.txt")),
                           csv};
    program->openDataFile(path(QStringLiteral("a.txt"))); // as a file manager opens it
    plot::PlotWindow* shown = program->plotViewer().window();
    ASSERT_NE(shown, nullptr);
    plot::PlotCanvas& canvas = shown->canvas();
    const auto drawn = [&](const char* caption, const char* count, double x) {
        SCOPED_TRACE(caption);
        EXPECT_TRUE(shown->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
        canvas.startPlotStage();
        while (canvas.plotStageRunning())
            QCoreApplication::processEvents();
        EXPECT_EQ(shown->windowTitle(), QString::fromLatin1(caption));
        const plot::Mapping map(canvas.frame(), 0, 1);
        for (const double at : {0.3, 0.45, 0.6})
            EXPECT_EQ(canvas.picture().pixel(map.map(at, 0.3).toPoint()) == qRgb(0, 0, 0), at == x)
                << "marker at " << at;
        EXPECT_EQ(shown->findChild<QTableWidget*>(QStringLiteral("GridStats"))->item(0, 0)->text(),
                  QString::fromLatin1(count));
    };
    const auto exported = [&](const char* point) {
        clickPlot("ExportCsv");
        QFile file(csv);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count(point) : -1;
    };
    drawn("a.txt", "2", 0.3);

    clickPlot("Resize");
    press("Open"); // at once: the name, the open range dialog, nothing left of a.txt's statistics
    EXPECT_EQ(dialogs.fileAsks.back().before.fileName, path(QStringLiteral("a.txt")));
    ASSERT_EQ(program->plotViewer().window(), shown);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("b.txt"));
    EXPECT_EQ(shown->findChild<QLineEdit*>(QStringLiteral("TxtTo"))->text(), QStringLiteral("3"));
    EXPECT_EQ(shown->findChild<QTableWidget*>(QStringLiteral("GridStats"))->item(0, 0)->text(),
              QString());
    drawn("b.txt", "3", 0.6);
    EXPECT_EQ(exported("0.6000,0.3000"), 3);
    write(QStringLiteral("b.txt"), recording(0.6, 5));
    EXPECT_EQ(exported("0.6000,0.3000"), 3);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QStringLiteral("has changed since it was opened")));

    press("Open"); // c.txt is empty
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(document().name(), QStringLiteral("b.txt"));
    shown->resize(shown->width() + 30, shown->height());
    drawn("b.txt", "3", 0.6);

    press("Logger");
    logger::MemoryWindow& memory = *program->logger().memoryWindow();
    auto* grid = memory.findChild<QTableView*>(QStringLiteral("GridSet"));
    const auto download = [&] {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 0)).center());
    };
    download();
    QTest::mouseClick(memory.findChild<QPushButton*>(QStringLiteral("CmdPlotSet")), Qt::LeftButton);
    ASSERT_EQ(program->plotViewer().window(), shown);
    drawn("Set 1 2026/12/05 16:39:05", "4", 0.45);
    download();
    EXPECT_EQ(exported("0.4500,0.3000"), 4);
    const QString png = path(QStringLiteral("shown.png")); // at the size shown, under a title
    dialogs.fileAnswers = {png};
    const QSize size = canvas.picture().size();
    dialogs.inputAnswers = {QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())};
    clickPlot("ExportPicture");
    const QImage picture(png);
    ASSERT_EQ(picture.size(), size);
    int dark = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < size.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 20);
}

// The recording's dialog never offers a working file, which the next start or download would
// overwrite; "Open" still starts from the name the dialog holds.
TEST_F(PanelFileCommands, RecordingDialogOffersNoWorkingFile)
{
    virtualmeter::StoredSet set;
    set.text = "Set\r\n";
    meter.model().memory().setSets({set});
    const QString documents =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) + '/';
    for (const QString& openStart : {root.paths.startupFile(), root.paths.downloadFile()}) {
        if (openStart == root.paths.downloadFile()) {
            window->toolbar()->click(panel::ToolbarKey::Logger);
            program->logger().downloadSet(1);
        }
        window->toolbar()->click(panel::ToolbarKey::Save); // cancelled
        EXPECT_EQ(dialogs.fileAsks.back().before.fileName, documents);
        window->toolbar()->click(panel::ToolbarKey::Open); // cancelled
        EXPECT_EQ(dialogs.fileAsks.back().before.fileName, openStart);
    }
}

} // namespace
