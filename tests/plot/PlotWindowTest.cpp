#include "plot/PlotWindow.h"

#include "files/FileCommands.h"
#include "files/RecordLine.h"
#include "plot/PlotCanvas.h"
#include "plot/PlotExport.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PanelHarness.h"
#include "ui/TextValue.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace plot {
namespace {

class PlotWindowTest : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    PlotWindowTest() { openRecords(10, 0); } // records 1..10 at (0.35, 0.2)

    // `count` records at (0.35, 0.2), record `empty` without values, as "Run1.txt".
    void openRecords(int count, int empty)
    {
        files::RecordTable records;
        for (int n = 1; n <= count; ++n)
            records.append(n == empty ? "" : " 0.3500", n == empty ? "" : " 0.2000");
        document.open(std::move(records), QStringLiteral("Run1.txt"), {});
    }

    PlotWindow& open()
    {
        window = std::make_unique<PlotWindow>(dialogs, document, nullptr, settings, &clock);
        window->resize(630, 660);
        window->show();
        return *window;
    }

    template <typename T> T* child(const char* name, QWidget* in = nullptr)
    {
        return (in ? in : window.get())->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name, QWidget* in = nullptr)
    {
        QTest::mouseClick(child<QAbstractButton>(name, in), Qt::LeftButton);
    }
    QFrame* pictureRange() { return child<QFrame>("PictureRange"); }
    QFrame* picUser() { return child<QFrame>("PicUser"); }
    QTimer* timer1() { return child<QTimer>("Timer1"); }
    PlotCanvas& canvas() { return window->canvas(); }

    void fillRange(const char* min, const char* max, const char* from, const char* to,
                   QWidget* in = nullptr)
    {
        const std::array<std::pair<const char*, const char*>, 4> fields = {
            {{"TxtTMin", min}, {"TxtTMax", max}, {"TxtFrom", from}, {"TxtTo", to}}};
        for (const auto& [name, text] : fields)
            child<QLineEdit>(name, in)->setText(QString::fromLatin1(text));
    }

    void fillRow(int r, std::array<const char*, 8> texts, bool checked = true)
    {
        child<QCheckBox>(qPrintable(QStringLiteral("CkUser%1").arg(r)))->setChecked(checked);
        for (int c = 0; c < 8; ++c)
            child<QLineEdit>(qPrintable(QStringLiteral("TxtUser%1").arg(8 * r + c)))
                ->setText(QString::fromLatin1(texts[static_cast<std::size_t>(c)]));
    }

    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Runs the plot stage to its end without waiting for Timer1.
    void drawToEnd()
    {
        canvas().startPlotStage();
        for (int i = 0; i < 100000 && canvas().plotStageRunning(); ++i)
            QCoreApplication::processEvents();
        ASSERT_FALSE(canvas().plotStageRunning());
    }

    PlotSettings settings;
    std::unique_ptr<PlotWindow> window;
};

// A resize while drawing starts over: nothing half-drawn stays, and the live poll is switched on
// only once a drawing is complete.
TEST_F(PlotWindowTest, ProgressCaptionsFromThreeToTenThenTheFileNameAResizeStartsOver)
{
    openRecords(10, 5); // record 5 undrawn, but counted
    document.setRange({3, 10});
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Plot File"));
    EXPECT_TRUE(timer1()->isActive() && timer1()->isSingleShot());
    canvas().setSliceLimits(1, 0); // let events run after every marker
    QStringList captions;
    QObject::connect(window.get(), &QWidget::windowTitleChanged,
                     [&captions](const QString& title) { captions << title; });
    canvas().startPlotStage();
    ASSERT_TRUE(canvas().plotStageRunning());
    window->resize(700, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(canvas().plotStageRunning());
    EXPECT_TRUE(timer1()->isActive()); // a fresh plot stage is on its way
    EXPECT_EQ(canvas().picture().size(), QSize(700, 600));
    EXPECT_TRUE(poll.calls.empty());
    drawToEnd();
    EXPECT_EQ(captions, QStringList({"12.5 % Completed", "25 % Completed", "37.5 % Completed",
                                     "50 % Completed", "62.5 % Completed", "75 % Completed",
                                     "87.5 % Completed", "100 % Completed", "Run1.txt"}));
    EXPECT_TRUE(poll.calls.empty()); // a drawing leaves the live poll alone
    EXPECT_FALSE(timer1()->isActive());
}

// Closed while drawing, the window stops its plot stage and is gone.
TEST_F(PlotWindowTest, ViewerBringsAnOpenWindowForwardAndKeepsRegionsOnAcrossOpenings)
{
    PlotViewer viewer(dialogs, document, nullptr);
    PlotWindow* first = viewer.showAndDraw();

    click("Resize", first);
    fillRange("0.2", "0.8", "1", "10", first);
    click("CmdRangeOK", first);
    click("Unit", first);
    click("CmdUserOK", first);
    child<QCheckBox>("CkUser2", first)->setChecked(true);
    EXPECT_TRUE(viewer.settings().RegionsOn);

    EXPECT_EQ(viewer.showAndDraw(), first);
    EXPECT_DOUBLE_EQ(first->canvas().axisMin(), 0.2); // kept, not reset

    first->canvas().setSliceLimits(1, 0);
    first->canvas().startPlotStage();
    ASSERT_TRUE(first->canvas().plotStageRunning());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    ASSERT_EQ(viewer.window(), nullptr);
    PlotWindow* second = viewer.showAndDraw();
    EXPECT_DOUBLE_EQ(second->canvas().axisMin(), 0);
    EXPECT_DOUBLE_EQ(second->canvas().axisMax(), 1);
    EXPECT_TRUE(viewer.settings().RegionsOn);
    // The rows as the user left them when the window closed.
    EXPECT_TRUE(child<QCheckBox>("CkUser2", second)->isChecked());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Plot File"));
}

// The range is read from the boxes: out-of-range texts are refused with the message, the rest
// is drawn to the end, a region with absurd corners included. The span from -1.7e308 to
// 1.7e308 is not finite; the records are checked before the axis. OK redraws also when nothing
// changed.
TEST_F(PlotWindowTest, RangeRefusedWithAMessageOrAppliedAndRedrawn)
{
    const QString records = QStringLiteral("1 <= From < to <=10, try again!");
    const QString axis = QStringLiteral("Max must be greater than Min, try again!");
    const QString noMin = QStringLiteral("Min holds no number, try again!");
    struct Row
    {
        const char* min;
        const char* max;
        const char* from;
        const char* to;
        QString refusal; // empty: accepted
    };
    // clang-format off
    const Row rows[] = {
        {"0", "1", "1", "10", {}}, {"0.2", "0.6", "2.5", "9", {}}, {"-1e300", "1e300", "1", "10", {}},
        {"0", "1e-300", "1", "10", {}}, {"0.3", "0.3000000000000001", "1", "10", {}},
        {"0", "1", "0", "10", records}, {"0", "1", "4", "4", records}, {"0", "1", "1", "11", records},
        {"0", "1", "9", "3", records}, {"0", "1", "-1e999", "1e999", records},
        {"1", "1", "0", "0", records}, {"0.5", "0.5", "1", "10", axis}, {"abc", "xyz", "1", "10", noMin},
        {"0", "1", "", "10", "From holds no number, try again!"}, {"0,2", "0,6", "2,5", "9", {}},
        {"1", "0", "1", "10", axis}, {"-1.7e308", "1.7e308", "1", "10", axis}};
    // clang-format on
    for (const auto& c : rows) {
        SCOPED_TRACE(testing::Message()
                     << c.min << " to " << c.max << ", records " << c.from << " to " << c.to);
        document.setRange({1, 10});
        dialogs.messages.clear();
        open();
        click("Unit");
        fillRow(0, {"1e308", "-1e308", "0", "-1e-308", "1e-308", "1e300", "-1e300",
                    "99999999999999999999"});
        click("CmdUserOK");
        click("Resize");
        fillRange(c.min, c.max, c.from, c.to);
        timer1()->stop();
        click("CmdRangeOK");
        if (!c.refusal.isEmpty()) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, c.refusal);
            EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Critical);
            EXPECT_TRUE(pictureRange()->isVisible());
            EXPECT_EQ(document.range(), (files::RecordRange{1, 10}));
            EXPECT_DOUBLE_EQ(canvas().axisMax(), 1);
            EXPECT_FALSE(timer1()->isActive());
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(pictureRange()->isVisible());
        EXPECT_DOUBLE_EQ(document.range().from, *ui::TypedNumber(QString::fromLatin1(c.from)));
        EXPECT_DOUBLE_EQ(canvas().axisMin(), *ui::TypedNumber(QString::fromLatin1(c.min)));
        EXPECT_TRUE(timer1()->isActive());
        drawToEnd();
    }
}

TEST_F(PlotWindowTest, PanelsToggleAndPrintLeavesThemOutReportsFailuresAndOffersPdf)
{
    open();
    drawToEnd();
    for (const char* button : {"Resize", "Unit"}) {
        click(button);
        click(button); // a second click closes the panel
    }
    EXPECT_FALSE(pictureRange()->isVisible() || picUser()->isVisible());
    click("Resize");
    click("Unit");
    click("Print");
    ASSERT_EQ(dialogs.printed.size(), 1u);
    EXPECT_EQ(dialogs.printed[0], canvas().picture());
    EXPECT_FALSE(pictureRange()->isVisible());
    EXPECT_FALSE(picUser()->isVisible());
    EXPECT_TRUE(child<QToolBar>("Toolbar1")->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.printSucceeds = false;
    click("Print");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The plot could not be printed."));

    dialogs.messages.clear();
    dialogs.printed.clear();
    dialogs.printerPresent = false; // a PDF file instead, or nothing when cancelled
    const QString pdf = root.dir.filePath(QStringLiteral("plot.pdf"));
    dialogs.messageAnswers = {ui::MsgAnswer::Cancel, ui::MsgAnswer::Ok};
    dialogs.fileAnswers = {pdf};
    click("Print");
    EXPECT_TRUE(dialogs.fileAsks.empty()); // cancelled: no file asked for
    click("Print");
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(dialogs.fileAsks[0].save);
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.printed.empty());
}

// Cancelled, refused or failed, a save or load loses nothing typed. A region file is not the
// data shown: saving one leaves the plot's caption as it was.
TEST_F(PlotWindowTest, RegionsSavedAndLoadedThroughTheirDialog)
{
    open();
    click("Unit");
    fillRow(2, {"0,31,2", "2", "3", "4", "5", "6", "7", "8"});
    click("CmdSave"); // a comma that is no decimal point is refused before any dialog
    EXPECT_TRUE(dialogs.fileAsks.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Region 3 holds a comma")));
    fillRow(1, {"0.30", "0.35", "0.35", "0.30", "0.30", "0.30", "0.35", "0.35"});
    fillRow(2, {"1", "2", "3", "4", "5", "6", "7", "8"}, false);
    fillRow(3, {"0.3127", "0.3290", "", "", "", "", "", ""});
    const RegionRows saved = window->regionRows();
    const QString path = root.dir.filePath(QStringLiteral("tolerance.user"));
    dialogs.fileAnswers = {std::nullopt,
                           std::nullopt,
                           root.dir.filePath(QStringLiteral("missing.user")),
                           root.dir.filePath(QStringLiteral("no/such/folder/r.user")),
                           path,
                           path};
    for (const char* button : {"CmdOpen", "CmdSave", "CmdOpen", "CmdSave"})
        click(button);
    EXPECT_EQ(window->regionRows(), saved);
    ASSERT_EQ(dialogs.messages.size(), 3u); // the file that is missing, the folder that is
    EXPECT_TRUE(dialogs.messages[2].text.startsWith(QStringLiteral("The region file could not")));
    dialogs.fileAsks.clear();
    click("CmdSave");
    EXPECT_EQ(readFile(path), QByteArray("0.30\t0.35\t0.35\t0.30\t0.30\t0.30\t0.35\t0.35\t\r\n"
                                         "0.3127\t0.3290\t\t\t\t\t\t\t\r\n"));
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(dialogs.fileAsks[0].before.overwritePrompt);

    click("CmdOpen");
    ASSERT_EQ(dialogs.fileAsks.size(), 2u);
    EXPECT_FALSE(dialogs.fileAsks[1].save);
    RegionRows expected; // the checked rows from the top, the rest cleared
    expected[0] = saved[1];
    expected[1] = saved[3];
    EXPECT_EQ(window->regionRows(), expected);
    drawToEnd();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Run1.txt"));
}

// The picture's parts as the export lays them out at `size` for the window's settings.
PictureLayout layoutOf(PlotCanvas& canvas, QSize size, const QPaintDevice* device)
{
    PlotPicture picture;
    picture.size = size;
    picture.axisMin = canvas.axisMin();
    picture.axisMax = canvas.axisMax();
    picture.font = canvas.font();
    picture.title = {QStringLiteral("run.txt"), {1, 6}, 6, QDateTime(QDate(2026, 12, 5), {16, 39})};
    return LayOutPicture(picture, size, device);
}

TEST_F(PlotWindowTest, UserOkDrawsRegionsAndHidesThePanelExitStops)
{
    open();
    click("Unit");
    // The square x 0.52..0.72 by y 0.12..0.22 typed with its corners out of order, and an
    // unchecked row whose bottom side would run on to x 0.9.
    fillRow(0, {"0.52", "0.72", "0.52", "0.72", "0.12", "0.12", "0.22", "0.22"});
    fillRow(1, {"0.9", "0.72", "0.52", "0.72", "0.12", "0.12", "0.22", "0.22"}, false);
    click("CmdUserOK");
    EXPECT_TRUE(settings.RegionsOn);
    EXPECT_TRUE(picUser()->isVisible()); // until the plot stage has drawn the regions
    drawToEnd();
    EXPECT_FALSE(picUser()->isVisible());
    EXPECT_EQ(canvas().picture().pixel(380, 566), qRgb(0, 0, 0));
    EXPECT_EQ(canvas().picture().pixel(520, 566), qRgb(255, 255, 255));

    click("Unit");
    click("CmdUserExit");
    EXPECT_FALSE(settings.RegionsOn);
    EXPECT_FALSE(picUser()->isVisible());
    drawToEnd();
    EXPECT_EQ(canvas().picture().pixel(380, 566), qRgb(255, 255, 255));
    // The exported picture shows what the window shows: the region still checked but off.
    const QString png = root.dir.filePath(QStringLiteral("shown.png"));
    dialogs.fileAnswers = {png};
    dialogs.inputAnswers = {QStringLiteral("630 x 660")};
    click("ExportPicture");
    const QImage exported(png);
    const Frame f = layoutOf(canvas(), exported.size(), &exported).frame;
    EXPECT_EQ(exported.pixel(qRound(f.left + 0.62 * f.width), qRound(f.bottom - 0.12 * f.height)),
              qRgb(255, 255, 255));
}

// Record k of the recording at 2026/12/06 10:30:0k. Record 4's x holds no number and record
// 5's Ev field is blank.
std::string recordLine(int k, double Ev, double Tcp, double x, double y, double duv)
{
    std::string line = files::RecordLine({.year = 2026,
                                          .month = 12,
                                          .day = 6,
                                          .hour = 10,
                                          .minute = 30,
                                          .second = k,
                                          .X = 95,
                                          .Y = 100,
                                          .Z = 108.9,
                                          .Ev = Ev,
                                          .Tcp = Tcp,
                                          .x = x,
                                          .y = y,
                                          .u = 0.1978,
                                          .v = 0.4683,
                                          .duv = duv});
    if (k == 4)
        line.replace(67, 7, "    ---");
    if (k == 5)
        line.replace(47, 9, std::string(9, ' '));
    return line + "\r\n";
}

class PlotReport : public PlotWindowTest
{
protected:
    PlotReport()
    {
        source = root.dir.filePath(QStringLiteral("run.txt"));
        QFile file(source);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/06 10:30:00\r\n"
                   "Total Records : 6\r\nInterval :   1 Second     Unit : \r\n"
                   "X       Y       Z     XYZ\r\n*********************************\r\n");
        for (const std::string& line :
             {recordLine(1, 100, 6000, 0.30, 0.30, 0.001),
              recordLine(2, 200, 5000, 0.31, 0.32, 0.002),
              recordLine(3, 400, 4000, 0.33, 0.34, -0.003),
              recordLine(4, 300, 4000, 0, 0.30, 0.001), recordLine(5, 0, 3000, 0.35, 0.36, 0.004),
              recordLine(6, 50, 2000, 0.9, 0.9, 0)})
            file.write(line.data(), static_cast<qint64>(line.size()));
        file.close();
        EXPECT_TRUE(files::OpenDataFile(source, dialogs, cmd, document, {}, {}));
        open();
    }

    void type(const QString& box, const QString& text)
    {
        child<QLineEdit>(qPrintable(box))->clear();
        QTest::keyClicks(child<QLineEdit>(qPrintable(box)), text);
    }

    QString source;
};

// Worked by hand over records 1 to 5, record 4 not plotted. x 0.30 0.31 0.33 0.35: mean
// 0.3225, squares 0.001475 / 3, SD 0.022174. y 0.30 0.32 0.34 0.36: squares 0.002 / 3. u', v'
// of these four by 4x / (-2x + 12y + 3) and 9y / (-2x + 12y + 3). Ev 100
// 200 400 300 (record 5 blank): squares 50000 / 3. Tcp 6000 5000 4000 4000 3000: squares
// 5.2e6 / 4. delta-uv 0.001 0.002 -0.003 0.001 0.004: mean 0.001, squares 26e-6 / 4. The
// region, typed with crossing corners and decimal commas, is the rectangle 0.30-0.34 by
// 0.30-0.35 the plot draws: it holds (0.30, 0.30) on its corner, (0.31, 0.32) and (0.33, 0.34),
// not (0.35, 0.36). Its file keeps ".", and a box emptied since is refused by OK.
TEST_F(PlotReport, StatisticsOfTheRangeAndItsRegion)
{
    click("Resize"); // showing the default axis range and every record
    const std::pair<const char*, const char*> shown[] = {
        {"TxtTMin", "0"}, {"TxtTMax", "1"}, {"TxtFrom", "1"}, {"TxtTo", "6"}};
    for (const auto& [box, text] : shown)
        EXPECT_EQ(child<QLineEdit>(box)->text(), QString::fromLatin1(text)) << box;
    type(QStringLiteral("TxtTo"), QStringLiteral("5"));
    click("CmdRangeOK");
    click("Unit");
    const char* corners[] = {"0,30", "0,34", "0,34", "0,30", "0,30", "0,35", "0,30", "0,35"};
    for (int c = 0; c < 8; ++c)
        type(QStringLiteral("TxtUser%1").arg(c), QString::fromLatin1(corners[c]));
    child<QCheckBox>("CkUser0")->setChecked(true);
    click("CmdUserOK");
    drawToEnd();

    const char* expected[7][5] = {{"4", "0.3000", "0.3500", "0.32250", "0.02217"},
                                  {"4", "0.3000", "0.3600", "0.33000", "0.02582"},
                                  {"4", "0.1994", "0.2115", "0.20411", "0.00566"},
                                  {"4", "0.4500", "0.4894", "0.46977", "0.01703"},
                                  {"4", "100.0", "400.0", "250.00", "129.10"},
                                  {"5", "3000", "6000", "4400.0", "1140.2"},
                                  {"5", "-0.0030", "0.0040", "0.00100", "0.00255"}};
    auto* grid = child<QTableWidget>("GridStats");
    ASSERT_TRUE(grid->isVisible());
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(grid->item(row, column)->text().toStdString(), expected[row][column])
                << grid->verticalHeaderItem(row)->text().toStdString() << " column " << column;
    EXPECT_EQ(child<QLabel>("LblStats")->text(),
              QStringLiteral("Records: 4 plotted, not numbers: 1\n"
                             "Region 1: 75.0 % inside (3 of 4)"));
    click("Stats");
    EXPECT_FALSE(grid->isVisible());

    const QString path = root.dir.filePath(QStringLiteral("commas.user"));
    dialogs.fileAnswers = {path};
    click("Unit");
    click("CmdSave");
    EXPECT_EQ(readFile(path), "0.30\t0.34\t0.34\t0.30\t0.30\t0.35\t0.30\t0.35\t\r\n");
    click("CmdUserExit");
    click("Unit");
    type(QStringLiteral("TxtUser5"), QString());
    click("CmdUserOK");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Region 1: Y of corner 2 holds no number, try again!"));
    EXPECT_FALSE(settings.RegionsOn);
}

// Every record of the file, whatever the range, under the file's name.
TEST_F(PlotReport, CsvOfEveryRecordWhateverTheRange)
{
    click("Resize");
    type(QStringLiteral("TxtTo"), QStringLiteral("2"));
    click("CmdRangeOK");
    const QString csv = root.dir.filePath(QStringLiteral("out.csv"));
    dialogs.fileAnswers = {csv};
    click("ExportCsv");
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.fileName, root.dir.filePath(QStringLiteral("run.csv")));
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray rows = readFile(csv);
    EXPECT_EQ(rows.count("\r\n"), 7);
    EXPECT_TRUE(rows.endsWith("\r\n2026-12-06T10:30:06,95.0,100.0,108.9,50.0,0.9000,0.9000,0.1978,"
                              "0.4683,2000,0.0000\r\n"));
}

// 400 x 300: frame 60..380 by 73..273, so record 6 (0.9, 0.9) lands at (348, 93). A range
// typed as 0.30 to 0.36 labels its ticks apart, in the exported picture as in the window (one
// renderer draws both); the labels come in pairs, the vertical axis's first.
// Under a title band that names the file, the range and the date (the test clock's), the plot
// at the typed size: nothing printed leaves the picture, the last horizontal label included.
TEST_F(PlotReport, PictureAtTheTypedSizeUnderATitleBandWithNothingCut)
{
    const QString png = root.dir.filePath(QStringLiteral("plot.png"));
    const QString svg = root.dir.filePath(QStringLiteral("plot.svg"));
    dialogs.fileAnswers = {png, svg};
    dialogs.inputAnswers = {QStringLiteral("400 x 300"), QStringLiteral(" 640X480 ")};
    click("ExportPicture");
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].prompt, QStringLiteral("Width x Height"));
    EXPECT_EQ(dialogs.inputs[0].defaultText, QStringLiteral("630 x 660"));
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(400, 300));
    const QRgb background = window->palette().color(QPalette::Window).rgb();
    // The title's text stands in the top rows, where the window's picture is blank.
    int dark = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 200; ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(image.pixel(1, 1), background);
    const Frame f = layoutOf(canvas(), image.size(), &image).frame;
    EXPECT_EQ(image.pixel(qRound(f.left - 2), qRound(f.bottom - f.height / 2)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(qRound(f.left + 0.85 * f.width), qRound(f.bottom - 0.75 * f.height)),
              qRgb(255, 255, 255)); // inside the frame, beyond the loci
    // Record 6 at (0.9, 0.9).
    EXPECT_EQ(image.pixel(qRound(f.left + 0.9 * f.width), qRound(f.bottom - 0.9 * f.height)),
              qRgb(0, 0, 0));

    click("Resize");
    type(QStringLiteral("TxtTMin"), QStringLiteral("0.30"));
    type(QStringLiteral("TxtTMax"), QStringLiteral("0.36"));
    click("CmdRangeOK");
    click("ExportPicture");
    EXPECT_TRUE(dialogs.messages.empty());
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("svg"));
    EXPECT_EQ(xml.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 640 480"));
    int elements = 0;
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        ++elements;
        if (xml.name() != QLatin1String("text"))
            continue;
        // Where a text starts: its left end and its baseline, inside the view box.
        const double x = xml.attributes().value(QLatin1String("x")).toDouble();
        const double y = xml.attributes().value(QLatin1String("y")).toDouble();
        texts << xml.readElementText().trimmed();
        EXPECT_TRUE(x >= 0 && x < 640 && y > 0 && y <= 480) << texts.back().toStdString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(elements, 100); // lines, labels and markers, not one embedded image
    ASSERT_EQ(texts.size(), 24);
    QStringList vertical;
    for (qsizetype i = 0; i < 22; i += 2)
        vertical << texts[i];
    EXPECT_EQ(vertical.join(QLatin1Char(' ')).toStdString(),
              "0.300 0.306 0.312 0.318 0.324 0.330 0.336 0.342 0.348 0.354 0.360");
    EXPECT_EQ(texts[22], QStringLiteral("run.txt"));
    EXPECT_EQ(texts[23], QStringLiteral("Records 1 to 6 of 6, 2026-12-05 16:39"));

    // Whole boxes inside, the last horizontal label's right end as well, for a narrow picture
    // and a wide one.
    for (const QSize size : {QSize(640, 480), QSize(200, 150), QSize(1200, 300)}) {
        const QImage device(size, QImage::Format_RGB32);
        const PictureLayout layout = layoutOf(canvas(), size, &device);
        const QRectF inside(QPointF(0, 0), QSizeF(size));
        ASSERT_EQ(layout.labels.size(), 22u);
        for (const PrintedText& text : layout.labels)
            EXPECT_TRUE(inside.contains(text.box))
                << size.width() << ' ' << text.text.toStdString();
        EXPECT_TRUE(inside.contains(layout.heading.box) && inside.contains(layout.subheading.box));
        EXPECT_LE(layout.band.bottom(), layout.frame.top() - 10); // the grid's tops below it
    }
}

// The output of a poppler tool run on `arguments`; empty when it is not installed.
QString runTool(const char* tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
    if (program.isEmpty())
        return QString();
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// With no printer, "Print" writes a PDF page whose drawing covers the printable area (A4 less
// 10 mm a side, upright like the window) and leaves the margins blank; its title is text.
TEST_F(PlotReport, PdfWithoutAPrinterFillsThePrintablePage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftoppm and pdftotext (poppler-utils) look at the PDF";
    dialogs.printerPresent = false;
    const QString pdf = root.dir.filePath(QStringLiteral("plot.pdf"));
    dialogs.messageAnswers = {ui::MsgAnswer::Ok};
    dialogs.fileAnswers = {pdf};
    click("Print");
    ASSERT_TRUE(readFile(pdf).startsWith("%PDF"));

    const QString text = runTool("pdftotext", {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("run.txt"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Records 1 to 6 of 6, 2026-12-05 16:39")))
        << text.toStdString();

    // 36 pixels an inch: A4 is 298 x 421, the 10 mm margins 14.2 pixels.
    const QString prefix = root.dir.filePath(QStringLiteral("page"));
    runTool("pdftoppm", {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-png"),
                         QStringLiteral("-singlefile"), pdf, prefix});
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 298, 1);
    EXPECT_NEAR(page.height(), 421, 1);
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 250)
                ink |= QRect(x, y, 1, 1);
    // A pixel and a half more for the rasteriser's smoothing.
    const double margin = 10 / 25.4 * 36;
    const QRectF printable = QRectF(0, 0, page.width(), page.height())
                                 .adjusted(margin - 1.5, margin - 1.5, 1.5 - margin, 1.5 - margin);
    EXPECT_TRUE(printable.contains(QRectF(ink)))
        << ink.x() << ' ' << ink.y() << ' ' << ink.right() << ' ' << ink.bottom();
    EXPECT_GT(ink.width(), 0.97 * printable.width());
    EXPECT_GT(ink.height(), 0.95 * printable.height());
}

TEST(PictureSize, TypedSizesAcceptedOrRefusedWithAReason)
{
    const std::pair<const char*, const char*> rows[] = {
        {"1200 x 900", "1200x900"},
        {"200*150", "200x150"},
        {"10000 \xc3\x97 10000", "10000x10000"},
        {"199 x 150", "The picture must be at least 200 x 150 pixels."},
        {"200 x 149", "The picture must be at least 200 x 150 pixels."},
        {"10001 x 900", "The picture can be at most 10000 x 10000 pixels."},
        {"99999999999999999999 x 900", "The picture can be at most 10000 x 10000 pixels."},
        {"12OO x 900", "Type the size in pixels as width x height, for example 1200 x 900."},
        {"1200 x 900 x 2", "Type the size in pixels as width x height, for example 1200 x 900."},
        {"-300 x 200", "Type the size in pixels as width x height, for example 1200 x 900."},
    };
    for (const auto& [typed, expected] : rows) {
        QString refusal;
        const std::optional<QSize> size = ParsePictureSize(QString::fromUtf8(typed), refusal);
        EXPECT_EQ(size ? QStringLiteral("%1x%2").arg(size->width()).arg(size->height()) : refusal,
                  QString::fromUtf8(expected))
            << typed;
    }
}

// A disk that takes no more than a few bytes: the export, the report, or the PDF file written
// when there is no printer, fails with the system's reason, and the file of the same name stays as
// it was.
TEST_F(PlotReport, FailedExportsKeepTheOldFileAndSayWhy)
{
    dialogs.printerPresent = false;
    dialogs.onModal = [](ui::ModalWindow& report) { // OK as it opens
        auto& dialog = dynamic_cast<QDialog&>(report);
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(QStringLiteral("CmdReportOK")),
                          Qt::LeftButton);
        return dialog.result();
    };
    const std::pair<const char*, const char*> rows[] = {{"ExportCsv", "old.csv"},
                                                        {"ExportPicture", "old.png"},
                                                        {"Print", "old.pdf"},
                                                        {"Report", "report.pdf"}};
    for (const auto& [button, name] : rows) {
        SCOPED_TRACE(button);
        const QString path = root.dir.filePath(QString::fromLatin1(name));
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        dialogs.messages.clear();
        dialogs.fileAnswers = {path};
        dialogs.inputAnswers = {QStringLiteral("200 x 150")};
        const QStringList files = QDir(root.dir.path()).entryList(QDir::Files);

        {
            const testsupport::FileSizeLimit limit(16);
            ASSERT_TRUE(limit.active());
            click(button);
        }

        ASSERT_FALSE(dialogs.messages.empty()); // after the offer of a PDF file, for "Print"
        const QString& told = dialogs.messages.back().text;
        EXPECT_TRUE(told.contains(QStringLiteral("could not be written"))) << told.toStdString();
        EXPECT_TRUE(told.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))))
            << told.toStdString();
        EXPECT_EQ(readFile(path), "kept");
        EXPECT_EQ(QDir(root.dir.path()).entryList(QDir::Files), files); // nothing half-written
    }
}

} // namespace
} // namespace plot
