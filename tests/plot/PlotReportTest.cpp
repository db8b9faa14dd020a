#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "plot/PlotExport.h"
#include "plot/PlotWindow.h"
#include "tests/support/PanelHarness.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QXmlStreamReader>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

namespace plot {
namespace {

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

class PlotReport : public ::testing::Test, protected testsupport::Harness<>
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
        window = std::make_unique<PlotWindow>(
            services, [this] { runner.resumePoll(); }, nullptr, settings);
        window->resize(630, 660);
        window->show();
    }

    template <typename T> T* child(const QString& name) { return window->findChild<T*>(name); }
    void click(const QString& name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void type(const QString& box, const QString& text)
    {
        child<QLineEdit>(box)->clear();
        QTest::keyClicks(child<QLineEdit>(box), text);
    }
    void drawToEnd()
    {
        window->startPlotStage();
        while (window->plotStageRunning())
            QCoreApplication::processEvents();
    }
    QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QString source;
    PlotSettings settings;
    std::unique_ptr<PlotWindow> window;
};

// Worked by hand over records 1 to 5, record 4 not plotted. x 0.30 0.31 0.33 0.35: mean
// 0.3225, squares 0.001475 / 3, SD 0.022174. y 0.30 0.32 0.34 0.36: squares 0.002 / 3. Ev 100
// 200 400 300 (record 5 blank): squares 50000 / 3. Tcp 6000 5000 4000 4000 3000: squares
// 5.2e6 / 4. delta-uv 0.001 0.002 -0.003 0.001 0.004: mean 0.001, squares 26e-6 / 4. The
// region, typed with crossing corners, is the rectangle 0.30-0.34 by 0.30-0.35 the plot draws:
// it holds (0.30, 0.30) on its corner, (0.31, 0.32) and (0.33, 0.34), not (0.35, 0.36).
TEST_F(PlotReport, StatisticsOfTheRangeAndItsRegion)
{
    click(QStringLiteral("Resize"));
    type(QStringLiteral("TxtFrom"), QStringLiteral("1"));
    type(QStringLiteral("TxtTo"), QStringLiteral("5"));
    click(QStringLiteral("CmdRangeOK"));
    click(QStringLiteral("Unit"));
    const char* corners[] = {"0.30", "0.34", "0.34", "0.30", "0.30", "0.35", "0.30", "0.35"};
    for (int c = 0; c < 8; ++c)
        type(QStringLiteral("TxtUser%1").arg(c), QString::fromLatin1(corners[c]));
    child<QCheckBox>(QStringLiteral("CkUser0"))->setChecked(true);
    click(QStringLiteral("CmdUserOK"));
    drawToEnd();

    const char* expected[5][5] = {{"4", "0.3000", "0.3500", "0.32250", "0.02217"},
                                  {"4", "0.3000", "0.3600", "0.33000", "0.02582"},
                                  {"4", "100.0", "400.0", "250.00", "129.10"},
                                  {"5", "3000", "6000", "4400.0", "1140.2"},
                                  {"5", "-0.0030", "0.0040", "0.00100", "0.00255"}};
    auto* grid = child<QTableWidget>(QStringLiteral("GridStats"));
    ASSERT_TRUE(grid->isVisible());
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(grid->item(row, column)->text().toStdString(), expected[row][column])
                << grid->verticalHeaderItem(row)->text().toStdString() << " column " << column;
    EXPECT_EQ(child<QLabel>(QStringLiteral("LblStats"))->text(),
              QStringLiteral("Records: 4 plotted, not numbers: 1\n"
                             "Region 1: 75.0 % inside (3 of 4)"));
    click(QStringLiteral("Stats"));
    EXPECT_FALSE(grid->isVisible());
}

// Every record of the file, whatever the range; "." whatever the locale (this program also
// runs under one whose decimal separator is the comma).
TEST_F(PlotReport, CsvOfEveryRecordByteForByte)
{
    const QString csv = root.dir.filePath(QStringLiteral("out.csv"));
    dialogs.fileAnswers = {csv};
    click(QStringLiteral("ExportCsv"));
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.fileName, root.dir.filePath(QStringLiteral("run.csv")));
    EXPECT_EQ(dialogs.fileAsks[0].before.filter,
              QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(
        contents(csv),
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
    click(QStringLiteral("ExportPicture"));
    click(QStringLiteral("ExportPicture"));
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
        click(QString::fromLatin1(button));
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        ASSERT_FALSE(dialogs.messages.empty()); // after the offer of a PDF file, for "Print"
        const QString& told = dialogs.messages.back().text;
        EXPECT_TRUE(told.contains(QStringLiteral("could not be written"))) << told.toStdString();
        EXPECT_TRUE(told.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))))
            << told.toStdString();
        EXPECT_EQ(contents(path), "kept");
        EXPECT_EQ(QDir(root.dir.path()).entryList(QDir::Files), files); // nothing half-written
    }
}

} // namespace
} // namespace plot
