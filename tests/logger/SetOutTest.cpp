// A set downloaded from the meter, plotted, saved and exported from the Memory window.
#include "files/RecordLine.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/PlotCanvas.h"
#include "plot/PlotWindow.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterMemory.h"

#include <QCoreApplication>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const virtualmeter::CalendarTime Start = {2026, 12, 5, 16, 39, 5};

files::Reading At(int second, double Ev, double Tcp, double x, double y, double duv)
{
    return {2026, 12, 5, 16, 39, second, 95, 100, 108.9, Ev, Tcp, x, y, 0.1978, 0.4683, duv};
}

class SetOutTest : public ::testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    // "Data Logger", then a click on the set's row.
    logger::MemoryWindow& download(const std::string& text)
    {
        meter.model().memory().setSets({{Start, 1, false, {}, text}});
        window->toolbar()->click(panel::ToolbarKey::Logger);
        logger::MemoryWindow& memory = *program->logger().memoryWindow();
        clickSet(memory);
        return memory;
    }
    static void clickSet(logger::MemoryWindow& memory)
    {
        auto* grid = memory.findChild<QTableView*>(QStringLiteral("GridSet"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 0)).center());
    }
    static void click(QWidget& window, const char* name)
    {
        auto* button = window.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

// Worked by hand. x 0.30 0.32 0.34 and y 0.31 0.33 0.35: mean 0.32 and 0.33, squares
// 0.0008 / 2, SD 0.02; u', v' of each by 4x / (-2x + 12y + 3) and 9y / (-2x + 12y + 3). Ev
// 100 200 600: mean 300, squares 140000 / 2, SD 264.58. Tcp 5000
// 4000 3000: SD 1000. delta-uv 0.001 0.002 0.003: mean 0.002, SD 0.001.
TEST_F(SetOutTest, PlottedSavedReadBackAndExported)
{
    const std::vector<files::Reading> readings = {At(5, 100, 5000, 0.30, 0.31, 0.001),
                                                  At(6, 200, 4000, 0.32, 0.33, 0.002),
                                                  At(7, 600, 3000, 0.34, 0.35, 0.003)};
    logger::MemoryWindow& memory = download(virtualmeter::setText(Start, 1, false, readings));

    click(memory, "CmdPlotSet");
    plot::PlotWindow* plot = program->plotViewer().window();
    ASSERT_NE(plot, nullptr);
    plot->canvas().startPlotStage();
    while (plot->canvas().plotStageRunning())
        QCoreApplication::processEvents();
    EXPECT_EQ(plot->windowTitle(), QStringLiteral("Set 1 2026/12/05 16:39:05"));
    const char* expected[7][5] = {{"3", "0.3000", "0.3400", "0.32000", "0.02000"},
                                  {"3", "0.3100", "0.3500", "0.33000", "0.02000"},
                                  {"3", "0.1961", "0.2086", "0.20240", "0.00626"},
                                  {"3", "0.4559", "0.4831", "0.46965", "0.01363"},
                                  {"3", "100.0", "600.0", "300.00", "264.58"},
                                  {"3", "3000", "5000", "4000.0", "1000.0"},
                                  {"3", "0.0010", "0.0030", "0.00200", "0.00100"}};
    auto* stats = plot->findChild<QTableWidget*>(QStringLiteral("GridStats"));
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(stats->item(row, column)->text().toStdString(), expected[row][column])
                << row << "," << column;
    const files::RecordTable plotted = program->document().records();

    // Saved as a data file that "Open" reads back record for record.
    const QString saved = root.dir.filePath(QStringLiteral("set.txt"));
    dialogs.fileAnswers = {saved, saved};
    click(memory, "CmdSaveSet");
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(
        dialogs.fileAsks[0].before.fileName.endsWith(QStringLiteral("/2026-12-05_163905.txt")));
    window->toolbar()->click(panel::ToolbarKey::Open);
    EXPECT_EQ(program->document().name(), QStringLiteral("set.txt"));
    EXPECT_EQ(program->document().records(), plotted);

    // CSV from the Memory window.
    const QString csv = root.dir.filePath(QStringLiteral("set.csv"));
    dialogs.fileAnswers = {csv};
    click(memory, "CmdExportSet");
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray lines = exported.readAll();
    EXPECT_EQ(lines.count("\r\n"), 4);
    EXPECT_TRUE(
        lines.endsWith("\r\n2026-12-05T16:39:07,95.0,100.0,108.9,600.0,0.3400,0.3500,0.1978,"
                       "0.4683,3000,0.0030\r\n"));
    EXPECT_TRUE(dialogs.messages.empty());
}

// While a set comes in, a click on another window's button opens nothing, then or later: not
// the plot's Print, not the main toolbar's clock or Open, not a second download. Cancel still
// stops the transfer: nothing half is saved, and nothing the meter sent reaches the next tick.
TEST_F(SetOutTest, ClicksElsewhereDuringADownloadOpenNothing)
{
    logger::MemoryWindow& memory = download(virtualmeter::setText(
        Start, 1, false, {At(5, 100, 5000, 0.30, 0.31, 0.001), At(6, 200, 4000, 0.32, 0.33, 0)}));
    const auto downloaded = [this] {
        QFile file(root.paths.downloadFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray saved = downloaded();
    click(memory, "CmdPlotSet");
    plot::PlotWindow* plot = program->plotViewer().window();
    ASSERT_NE(plot, nullptr);
    meter.clearWrites();
    QTimer::singleShot(0, &memory, [&] {
        for (QWidget* button : {plot->findChild<QWidget*>(QStringLiteral("Print")),
                                window->findChild<QWidget*>(QStringLiteral("RTC")),
                                window->findChild<QWidget*>(QStringLiteral("Open"))})
            QTest::mouseClick(button, Qt::LeftButton);
        clickSet(memory);
        click(memory, "CmdCancel");
    });
    clickSet(memory);
    QCoreApplication::processEvents();

    EXPECT_TRUE(dialogs.printed.empty());
    EXPECT_EQ(dialogs.modalRuns, 0);
    EXPECT_TRUE(dialogs.fileAsks.empty());
    EXPECT_EQ(commands(), (std::vector<std::pair<int, int>>{{6, 34}, {6, 30}}));
    EXPECT_EQ(dialogs.viewedFiles.size(), 1); // the first download's
    EXPECT_EQ(downloaded(), saved);
    EXPECT_EQ(memory.findChild<QProgressBar*>(QStringLiteral("MBar"))->value(), 0);
    window->pollMeter();
    EXPECT_EQ(meter.pendingReports(), 0u);
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("PicSet"))->isHidden());
}

// How the record lines of a set are found; a set without any is refused for the plot and the
// CSV and changes nothing.
TEST_F(SetOutTest, RecordLinesWhereverTheyStand)
{
    const std::string line = files::RecordLine(At(5, 100, 5000, 0.30, 0.31, 0.001)) + "\r\n";
    const struct
    {
        std::string text;
        int records;
    } rows[] = {{line + line, 2},                                             // no header at all
                {"582 Data Logger\r\nStart Time : 2026/12/05\r\n" + line, 1}, // a short one
                {virtualmeter::setText(Start, 1, false, {}) + "\r\n" + line + line,
                 2}, // a blank line after the header
                {"Set text\r\n", 0}};
    for (const auto& row : rows) {
        const std::size_t before = program->document().recordCount();
        dialogs.messages.clear();
        logger::MemoryWindow& memory = download(row.text);
        click(memory, "CmdPlotSet");
        EXPECT_EQ(program->document().recordCount(),
                  row.records == 0 ? before : static_cast<std::size_t>(row.records));
        if (row.records > 0) {
            EXPECT_TRUE(dialogs.messages.empty()) << row.text;
            continue;
        }
        click(memory, "CmdExportSet");
        ASSERT_EQ(dialogs.messages.size(), 2u);
        for (const auto& message : dialogs.messages)
            EXPECT_EQ(message.text, QStringLiteral("This set holds no record lines."));
        EXPECT_TRUE(dialogs.fileAsks.empty());
    }
}

} // namespace
