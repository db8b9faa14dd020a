#include "plot/PlotWindow.h"

#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "plot/PlotExport.h"
#include "tests/support/PanelHarness.h"
#include "ui/TextValue.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

namespace plot {
namespace {

class PlotWindowTest : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    PlotWindowTest()
    {
        fileState.CurrentFileName = QStringLiteral("Run1.txt");
        data.RecordCount = 10;
        for (int n = 1; n <= 10; ++n) // records 1..10 at (0.35, 0.2)
            data.Records.append(" 0.3500", " 0.2000");
        data.PlotFrom = 1;
        data.PlotTo = data.PlotCount = 10;
    }

    PlotWindow& open()
    {
        window = std::make_unique<PlotWindow>(
            services, [this] { runner.resumePoll(); }, nullptr, settings);
        window->resize(630, 660);
        window->show();
        return *window;
    }

    template <typename T> T* child(const char* name, QWidget* in = nullptr)
    {
        return (in ? in : window.get())->findChild<T*>(QString::fromLatin1(name));
    }
    QFrame* pictureRange() { return child<QFrame>("PictureRange"); }
    QFrame* picUser() { return child<QFrame>("PicUser"); }
    QCheckBox* ckUser(int r)
    {
        return child<QCheckBox>(qPrintable(QStringLiteral("CkUser%1").arg(r)));
    }
    QLineEdit* txtUser(int i)
    {
        return child<QLineEdit>(qPrintable(QStringLiteral("TxtUser%1").arg(i)));
    }

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
        ckUser(r)->setChecked(checked);
        for (int c = 0; c < 8; ++c)
            txtUser(8 * r + c)->setText(QString::fromLatin1(texts[static_cast<std::size_t>(c)]));
    }

    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Runs the plot stage to its end without waiting for Timer1.
    void drawToEnd()
    {
        window->startPlotStage();
        while (window->plotStageRunning())
            QCoreApplication::processEvents();
    }

    files::PlotData& data = plot;
    PlotSettings settings;
    std::unique_ptr<PlotWindow> window;
};

TEST_F(PlotWindowTest, ProgressCaptionsFromThreeToTenThenTheFileName)
{
    data.PlotFrom = 3;
    data.PlotTo = 10;
    data.PlotCount = 8;
    data.Records = files::RecordTable();
    for (int n = 1; n <= 10; ++n) // record 5 undrawn, but counted
        data.Records.append(n == 5 ? "" : " 0.3500", n == 5 ? "" : " 0.2000");
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Plot File"));
    EXPECT_TRUE(child<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(child<QTimer>("Timer1")->isSingleShot());
    EXPECT_TRUE(poll.calls.empty());
    window->setSliceLimits(1, 0); // let events run after every marker
    QStringList captions;
    QObject::connect(window.get(), &QWidget::windowTitleChanged,
                     [&captions](const QString& title) { captions << title; });
    drawToEnd();
    EXPECT_EQ(captions, QStringList({"12.5 % Completed", "25 % Completed", "37.5 % Completed",
                                     "50 % Completed", "62.5 % Completed", "75 % Completed",
                                     "87.5 % Completed", "100 % Completed", "Run1.txt"}));
    EXPECT_EQ(poll.calls, std::vector<bool>{true}); // on again once drawn
    EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
}

TEST_F(PlotWindowTest, ResizeWhileDrawingStartsOverAndNothingHalfDrawnStays)
{
    open();
    window->setSliceLimits(2, 0);
    window->startPlotStage();
    ASSERT_TRUE(window->plotStageRunning());
    window->resize(700, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->plotStageRunning());
    EXPECT_TRUE(child<QTimer>("Timer1")->isActive()); // a fresh plot stage is on its way
    EXPECT_EQ(window->picture().size(), QSize(700, 600));
    EXPECT_TRUE(poll.calls.empty());
    drawToEnd();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Run1.txt"));
    EXPECT_EQ(poll.calls, std::vector<bool>{true}); // on again once drawn
}

// Closed while drawing, the window stops its plot stage and is gone.
TEST_F(PlotWindowTest, ViewerBringsAnOpenWindowForwardAndKeepsRegionsOnAcrossOpenings)
{
    PlotViewer viewer(
        services, [this] { runner.resumePoll(); }, nullptr);
    PlotWindow* first = viewer.showAndDraw();

    fillRange("0.2", "0.8", "1", "10", first);
    first->applyRange();
    child<QCheckBox>("CkUser2", first)->setChecked(true);
    first->showRegions();
    EXPECT_TRUE(viewer.settings().RegionsOn);

    EXPECT_EQ(viewer.showAndDraw(), first);
    EXPECT_DOUBLE_EQ(first->axisMin(), 0.2); // kept, not reset

    first->setSliceLimits(1, 0);
    first->startPlotStage();
    ASSERT_TRUE(first->plotStageRunning());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    ASSERT_EQ(viewer.window(), nullptr);
    PlotWindow* second = viewer.showAndDraw();
    EXPECT_DOUBLE_EQ(second->axisMin(), 0);
    EXPECT_DOUBLE_EQ(second->axisMax(), 1);
    EXPECT_TRUE(viewer.settings().RegionsOn);
    EXPECT_FALSE(child<QCheckBox>("CkUser2", second)->isChecked());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Plot File"));
}

// The range is read from the boxes: out-of-range texts are refused with the message, the rest
// is drawn to the end, a region with absurd corners included. The span from -1.7e308 to
// 1.7e308 is not finite; the records are checked before the axis.
TEST_F(PlotWindowTest, RangeRefusedWithAMessageOrAppliedAndRedrawn)
{
    const QString records = QStringLiteral("1 <= From < to <=10, try again!");
    const QString axis = QStringLiteral("Max must be greater than Min, try again!");
    const QString noMin = QStringLiteral("Min holds no number, try again!");
    const QString noFrom = QStringLiteral("From holds no number, try again!");
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
        {"0", "1", "", "10", noFrom}, {"0,2", "0,6", "2,5", "9", {}},
        {"1", "0", "1", "10", axis}, {"-1.7e308", "1.7e308", "1", "10", axis}};
    // clang-format on
    for (const auto& c : rows) {
        SCOPED_TRACE(testing::Message()
                     << c.min << " to " << c.max << ", records " << c.from << " to " << c.to);
        data.PlotFrom = 1;
        data.PlotTo = data.PlotCount = 10;
        dialogs.messages.clear();
        open();
        fillRow(0, {"1e308", "-1e308", "0", "abc", "1e-308", "", "1e999", "99999999999999999999"});
        window->showRegions();
        window->runToolbarButton(QStringLiteral("Resize"));
        fillRange(c.min, c.max, c.from, c.to);
        child<QTimer>("Timer1")->stop();
        window->applyRange();
        if (!c.refusal.isEmpty()) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, c.refusal);
            EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Critical);
            EXPECT_TRUE(pictureRange()->isVisible());
            EXPECT_EQ(std::make_pair(data.PlotFrom, data.PlotTo), std::make_pair(1.0, 10.0));
            EXPECT_DOUBLE_EQ(window->axisMax(), 1);
            EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(pictureRange()->isVisible());
        EXPECT_DOUBLE_EQ(data.PlotFrom, *ui::TypedNumber(QString::fromLatin1(c.from)));
        EXPECT_DOUBLE_EQ(window->axisMin(), *ui::TypedNumber(QString::fromLatin1(c.min)));
        EXPECT_DOUBLE_EQ(data.PlotCount, data.PlotTo - data.PlotFrom + 1);
        EXPECT_TRUE(child<QTimer>("Timer1")->isActive());
        window->startPlotStage();
        for (int i = 0; i < 100000 && window->plotStageRunning(); ++i)
            QCoreApplication::processEvents();
        EXPECT_FALSE(window->plotStageRunning());
    }
}

TEST_F(PlotWindowTest, PrintLeavesPanelsOutReportsFailuresAndOffersPdfWithoutPrinter)
{
    open();
    drawToEnd();
    window->runToolbarButton(QStringLiteral("Resize"));
    window->runToolbarButton(QStringLiteral("Unit"));
    window->runToolbarButton(QStringLiteral("Print"));
    ASSERT_EQ(dialogs.printed.size(), 1u);
    EXPECT_EQ(dialogs.printed[0], window->picture());
    EXPECT_FALSE(pictureRange()->isVisible());
    EXPECT_FALSE(picUser()->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.printSucceeds = false;
    window->runToolbarButton(QStringLiteral("Print"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The plot could not be printed."));

    dialogs.messages.clear();
    dialogs.printed.clear();
    dialogs.printerPresent = false; // a PDF file instead, or nothing when cancelled
    const QString pdf = root.dir.filePath(QStringLiteral("plot.pdf"));
    dialogs.messageAnswers = {ui::MsgAnswer::Cancel, ui::MsgAnswer::Ok};
    dialogs.fileAnswers = {pdf};
    window->runToolbarButton(QStringLiteral("Print"));
    EXPECT_TRUE(dialogs.fileAsks.empty()); // cancelled: no file asked for
    window->runToolbarButton(QStringLiteral("Print"));
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(dialogs.fileAsks[0].save);
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.printed.empty());
}

TEST_F(PlotWindowTest, RegionsSavedAndLoadedThroughTheirDialog)
{
    open();
    fillRow(1, {"0.30", "0.35", "0.35", "0.30", "0.30", "0.30", "0.35", "0.35"});
    fillRow(3, {"0.3127", "0.3290", "", "", "", "", "", ""});
    fillRow(4, {"1", "1", "1", "1", "1", "1", "1", "1"}, false);
    const RegionRows saved = window->regionRows();
    const QString path = root.dir.filePath(QStringLiteral("tolerance.user"));
    dialogs.fileAnswers = {std::nullopt, std::nullopt, path, path};
    window->loadRegions(); // cancelled: nothing changes
    window->saveRegions();
    EXPECT_EQ(window->regionRows(), saved);
    EXPECT_EQ(fileState.CurrentFileName, QStringLiteral("Run1.txt"));
    dialogs.fileAsks.clear();
    window->saveRegions();
    EXPECT_EQ(readFile(path), QByteArray("0.30\t0.35\t0.35\t0.30\t0.30\t0.30\t0.35\t0.35\t\r\n"
                                         "0.3127\t0.3290\t\t\t\t\t\t\t\r\n"));
    EXPECT_EQ(fileState.CurrentFileName, path);
    EXPECT_FALSE(fileState.FileChosen);
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(dialogs.fileAsks[0].before.overwritePrompt);

    window->loadRegions();
    ASSERT_EQ(dialogs.fileAsks.size(), 2u);
    EXPECT_FALSE(dialogs.fileAsks[1].save);
    RegionRows expected; // the checked rows from the top, the rest cleared
    expected[0] = saved[1];
    expected[1] = saved[3];
    EXPECT_EQ(window->regionRows(), expected);
    // The plot shows the region file's path after the next drawing.
    drawToEnd();
    EXPECT_EQ(window->windowTitle(), path);
}

TEST_F(PlotWindowTest, RefusedOrFailedRegionFilesAreReportedAndLoseNothingTyped)
{
    open();
    fillRow(2, {"0,31,2", "2", "3", "4", "5", "6", "7", "8"});
    window->saveRegions(); // a comma that is no decimal point is refused before any dialog
    EXPECT_TRUE(dialogs.fileAsks.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Region 3 holds a comma")));

    dialogs.messages.clear();
    fillRow(2, {"1", "2", "3", "4", "5", "6", "7", "8"}, false);
    fillRow(0, {"1", "2", "3", "4", "5", "6", "7", "8"});
    dialogs.fileAnswers = {root.dir.filePath(QStringLiteral("missing.user")),
                           root.dir.filePath(QStringLiteral("no/such/folder/r.user"))};
    window->loadRegions();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(ckUser(0)->isChecked());
    EXPECT_EQ(txtUser(3)->text(), QStringLiteral("4"));
    window->saveRegions();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(QStringLiteral("The region file could not")));
    EXPECT_FALSE(fileState.FileChosen);
}

TEST_F(PlotWindowTest, UserOkDrawsRegionsAndHidesThePanelExitStops)
{
    open();
    window->runToolbarButton(QStringLiteral("Unit"));
    // The square x 0.52..0.72 by y 0.12..0.22 typed with its corners out of order, and an
    // unchecked row whose bottom side would run on to x 0.9.
    fillRow(0, {"0.52", "0.72", "0.52", "0.72", "0.12", "0.12", "0.22", "0.22"});
    fillRow(1, {"0.9", "0.72", "0.52", "0.72", "0.12", "0.12", "0.22", "0.22"}, false);
    window->showRegions();
    EXPECT_TRUE(settings.RegionsOn);
    EXPECT_TRUE(picUser()->isVisible()); // until the plot stage has drawn the regions
    drawToEnd();
    EXPECT_FALSE(picUser()->isVisible());
    EXPECT_EQ(window->picture().pixel(380, 566), qRgb(0, 0, 0));
    EXPECT_EQ(window->picture().pixel(520, 566), qRgb(255, 255, 255));

    window->hideRegions();
    EXPECT_FALSE(settings.RegionsOn);
    drawToEnd();
    EXPECT_EQ(window->picture().pixel(380, 566), qRgb(255, 255, 255));
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
        EXPECT_EQ(files::ReadDataFile(source, plot).outcome, files::ReadOutcome::Ok);
        fileState.CurrentFileName = QStringLiteral("run.txt");
        open();
    }

    void click(const char* name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void type(const QString& box, const QString& text)
    {
        child<QLineEdit>(qPrintable(box))->clear();
        QTest::keyClicks(child<QLineEdit>(qPrintable(box)), text);
    }

    QString source;
};

// Worked by hand over records 1 to 5, record 4 not plotted. x 0.30 0.31 0.33 0.35: mean
// 0.3225, squares 0.001475 / 3, SD 0.022174. y 0.30 0.32 0.34 0.36: squares 0.002 / 3. Ev 100
// 200 400 300 (record 5 blank): squares 50000 / 3. Tcp 6000 5000 4000 4000 3000: squares
// 5.2e6 / 4. delta-uv 0.001 0.002 -0.003 0.001 0.004: mean 0.001, squares 26e-6 / 4. The
// region, typed with crossing corners, is the rectangle 0.30-0.34 by 0.30-0.35 the plot draws:
// it holds (0.30, 0.30) on its corner, (0.31, 0.32) and (0.33, 0.34), not (0.35, 0.36).
TEST_F(PlotReport, StatisticsOfTheRangeAndItsRegion)
{
    click("Resize");
    type(QStringLiteral("TxtFrom"), QStringLiteral("1"));
    type(QStringLiteral("TxtTo"), QStringLiteral("5"));
    click("CmdRangeOK");
    click("Unit");
    const char* corners[] = {"0.30", "0.34", "0.34", "0.30", "0.30", "0.35", "0.30", "0.35"};
    for (int c = 0; c < 8; ++c)
        type(QStringLiteral("TxtUser%1").arg(c), QString::fromLatin1(corners[c]));
    child<QCheckBox>("CkUser0")->setChecked(true);
    click("CmdUserOK");
    drawToEnd();

    const char* expected[5][5] = {{"4", "0.3000", "0.3500", "0.32250", "0.02217"},
                                  {"4", "0.3000", "0.3600", "0.33000", "0.02582"},
                                  {"4", "100.0", "400.0", "250.00", "129.10"},
                                  {"5", "3000", "6000", "4400.0", "1140.2"},
                                  {"5", "-0.0030", "0.0040", "0.00100", "0.00255"}};
    auto* grid = child<QTableWidget>("GridStats");
    ASSERT_TRUE(grid->isVisible());
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(grid->item(row, column)->text().toStdString(), expected[row][column])
                << grid->verticalHeaderItem(row)->text().toStdString() << " column " << column;
    EXPECT_EQ(child<QLabel>("LblStats")->text(),
              QStringLiteral("Records: 4 plotted, not numbers: 1\n"
                             "Region 1: 75.0 % inside (3 of 4)"));
    click("Stats");
    EXPECT_FALSE(grid->isVisible());
}

// Every record of the file, whatever the range; "." whatever the locale (this program also
// runs under one whose decimal separator is the comma).
TEST_F(PlotReport, CsvOfEveryRecordByteForByte)
{
    const QString csv = root.dir.filePath(QStringLiteral("out.csv"));
    dialogs.fileAnswers = {csv};
    click("ExportCsv");
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.fileName, root.dir.filePath(QStringLiteral("run.csv")));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(
        readFile(csv),
        "Date and time,X,Y,Z,Ev (lx),Tcp (K),x,y,u',v',delta-uv\r\n"
        "2026-12-06T10:30:01,95.0,100.0,108.9,100.0,6000,0.3000,0.3000,0.1978,0.4683,0.0010\r\n"
        "2026-12-06T10:30:02,95.0,100.0,108.9,200.0,5000,0.3100,0.3200,0.1978,0.4683,0.0020\r\n"
        "2026-12-06T10:30:03,95.0,100.0,108.9,400.0,4000,0.3300,0.3400,0.1978,0.4683,-0.0030\r\n"
        "2026-12-06T10:30:04,95.0,100.0,108.9,300.0,4000,,0.3000,0.1978,0.4683,0.0010\r\n"
        "2026-12-06T10:30:05,95.0,100.0,108.9,,3000,0.3500,0.3600,0.1978,0.4683,0.0040\r\n"
        "2026-12-06T10:30:06,95.0,100.0,108.9,50.0,2000,0.9000,0.9000,0.1978,0.4683,0.0000\r\n");
}

// 400 x 300: frame 60..380 by 73..273, so record 6 (0.9, 0.9) lands at (348, 93).
TEST_F(PlotReport, PictureAtTheTypedSizeAsPngAndSvg)
{
    const QString png = root.dir.filePath(QStringLiteral("plot.png"));
    const QString svg = root.dir.filePath(QStringLiteral("plot.svg"));
    dialogs.fileAnswers = {png, svg};
    dialogs.inputAnswers = {QStringLiteral("400 x 300"), QStringLiteral(" 640X480 ")};
    click("ExportPicture");
    click("ExportPicture");
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(dialogs.inputs.size(), 2u);
    EXPECT_EQ(dialogs.inputs[0].prompt, QStringLiteral("Width x Height"));
    EXPECT_EQ(dialogs.inputs[0].defaultText, QStringLiteral("630 x 660"));

    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.pixel(5, 5), window->palette().color(QPalette::Window).rgb());
    EXPECT_EQ(image.pixel(58, 200), qRgb(0, 0, 0));        // the vertical axis
    EXPECT_EQ(image.pixel(330, 110), qRgb(255, 255, 255)); // inside the frame
    EXPECT_EQ(image.pixel(346, 92), qRgb(0, 0, 0));        // record 6's marker

    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("svg"));
    EXPECT_EQ(xml.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 640 480"));
    int elements = 0;
    while (!xml.atEnd())
        elements += xml.readNext() == QXmlStreamReader::StartElement ? 1 : 0;
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(elements, 100); // lines, labels and markers, not one embedded image
}

// Typed with decimal commas, the range, the region rows and the region file read them as points;
// a box without a number is refused with a message naming it and changes nothing. The region
// file keeps ".".
TEST_F(PlotReport, DecimalCommasAreReadAsPointsBoxesWithoutNumbersRefused)
{
    const std::pair<QString, QString> range[] = {
        {"TxtTMin", "0,25"}, {"TxtTMax", "0,45"}, {"TxtFrom", "1"}, {"TxtTo", "5"}};
    click("Resize");
    for (const auto& [box, text] : range)
        type(box, text);
    click("CmdRangeOK");
    EXPECT_DOUBLE_EQ(window->axisMin(), 0.25);
    EXPECT_DOUBLE_EQ(window->axisMax(), 0.45);

    click("Unit");
    const char* corners[] = {"0,30", "0,34", "0,34", "0,30", "0,30", "0,35", "0,30", "0,35"};
    for (int c = 0; c < 8; ++c)
        type(QStringLiteral("TxtUser%1").arg(c), QString::fromLatin1(corners[c]));
    child<QCheckBox>("CkUser0")->setChecked(true);
    click("CmdUserOK");
    drawToEnd();
    EXPECT_EQ(child<QLabel>("LblStats")->text(),
              QStringLiteral("Records: 4 plotted, not numbers: 1\n"
                             "Region 1: 75.0 % inside (3 of 4)"));
    const QString path = root.dir.filePath(QStringLiteral("commas.user"));
    dialogs.fileAnswers = {path};
    click("CmdSave");
    EXPECT_EQ(readFile(path), "0.30\t0.34\t0.34\t0.30\t0.30\t0.35\t0.30\t0.35\t\r\n");

    click("Unit");
    click("CmdUserExit");
    click("Unit");
    type(QStringLiteral("TxtUser5"), QString());
    click("CmdUserOK");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Region 1: Y of corner 2 holds no number, try again!"));
    EXPECT_FALSE(settings.RegionsOn);
}

// A range typed as 0.30 to 0.36 labels its ticks apart, in the exported picture as in the
// window (one renderer draws both); the labels come in pairs, the vertical axis's first.
TEST_F(PlotReport, NarrowRangeLabelsItsTicksApart)
{
    click("Resize");
    type(QStringLiteral("TxtTMin"), QStringLiteral("0.30"));
    type(QStringLiteral("TxtTMax"), QStringLiteral("0.36"));
    click("CmdRangeOK");
    const QString svg = root.dir.filePath(QStringLiteral("narrow.svg"));
    dialogs.fileAnswers = {svg};
    dialogs.inputAnswers = {QStringLiteral("640 x 480")};
    click("ExportPicture");
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList labels;
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            labels << xml.readElementText().trimmed();
    }
    QStringList vertical;
    for (qsizetype i = 0; i < labels.size(); i += 2)
        vertical << labels[i];
    EXPECT_EQ(vertical.join(QLatin1Char(' ')).toStdString(),
              "0.300 0.306 0.312 0.318 0.324 0.330 0.336 0.342 0.348 0.354 0.360");
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

// A disk that takes no more than a few bytes: the export, or the PDF file written when there is
// no printer, fails with the system's reason, and the file of the same name stays as it was.
TEST_F(PlotReport, FailedExportsKeepTheOldFileAndSayWhy)
{
    dialogs.printerPresent = false;
    const std::pair<const char*, const char*> rows[] = {
        {"ExportCsv", "old.csv"}, {"ExportPicture", "old.png"}, {"Print", "old.pdf"}};
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

        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limited = before;
        limited.rlim_cur = 16;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        click(button);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

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
