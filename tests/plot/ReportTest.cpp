#include "plot/Report.h"

#include "cli/Cli.h"
#include "files/FileCommands.h"
#include "files/RecordLine.h"
#include "plot/PlotWindow.h"
#include "plot/ReportDialog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempRoot.h"
#include "virtualmeter/VirtualMeter.h"

#include <QFile>
#include <QHashFunctions>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

namespace plot {
namespace {

class NoWaits : public cli::Pacer
{
public:
    bool wait(long long) override { return true; }
    long long elapsedMs() const override { return 0; }
    bool stopRequested() const override { return false; }
};

// Five records ten seconds apart. Worked by hand: x 0.345 0.346 0.344 0.330 0.348, mean
// 0.3426, squares 0.0002072 / 4; y likewise; u', v' of each by 4x / (-2x + 12y + 3) and
// 9y / (-2x + 12y + 3). Ev 500 510 490 520 480: squares 1000 / 4. Tcp 5000 4950 5050 5600
// 4900: mean 5100, squares 325000 / 4. The 5000 K quadrangle holds all but record 4 (which
// lies in 5700 K), 2700 K none.
class Report : public ::testing::Test
{
protected:
    Report()
    {
        QFile file(data);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/07 09:00:00\r\n"
                   "Total Records : 5\r\nInterval :  10 Second     Unit : \r\n"
                   "X       Y       Z     XYZ\r\n*********************************\r\n");
        const double rows[5][5] = {{0.3450, 0.3550, 500, 5000, 0.0010},
                                   {0.3460, 0.3560, 510, 4950, 0.0020},
                                   {0.3440, 0.3540, 490, 5050, 0.0000},
                                   {0.3300, 0.3400, 520, 5600, 0.0030},
                                   {0.3480, 0.3570, 480, 4900, 0.0015}};
        for (int k = 0; k < 5; ++k) {
            const auto& r = rows[k];
            const std::string line = files::RecordLine({.year = 2026,
                                                        .month = 12,
                                                        .day = 7,
                                                        .hour = 9,
                                                        .second = 10 * k,
                                                        .X = 95,
                                                        .Y = 100,
                                                        .Z = 108.9,
                                                        .Ev = r[2],
                                                        .Tcp = r[3],
                                                        .x = r[0],
                                                        .y = r[1],
                                                        .duv = r[4]}) +
                                     "\r\n";
            file.write(line.data(), static_cast<qint64>(line.size()));
        }
    }

    int cli(const QStringList& arguments)
    {
        err.str({});
        cli::Environment env{[this](bool) -> meterlink::platform::HidPlatform& { return meter; },
                             clock,
                             root.paths,
                             pacer,
                             out,
                             err};
        return cli::Run(
            QStringList{QStringLiteral("tellarix582-cli"), QStringLiteral("report"), data} +
                arguments,
            env);
    }

    QString path(const char* name) const { return root.dir.filePath(QLatin1String(name)); }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The output of a poppler tool, blanks run together.
    static QString tool(const char* program, const QStringList& arguments)
    {
        QProcess process;
        process.start(QLatin1String(program), arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << program;
        return QString::fromUtf8(process.readAllStandardOutput())
            .replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    }

    testsupport::TempRoot root;
    QString data = root.dir.filePath(QStringLiteral("lamp.txt"));
    virtualmeter::VirtualMeter meter;
    testsupport::FakeClock clock{QDateTime(QDate(2026, 12, 8), QTime(14, 5, 0))};
    NoWaits pacer;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(Report, OnePageWithTheHeadingEveryStatisticAndEveryVerdict)
{
    const QString pdf = path("lamp.pdf");
    ASSERT_EQ(cli({"--output", pdf, "--region", "5000K", "--region", "5700 K", "--region", "2700",
                   "--share", "80", "--title", "Lamp 7", "--notes", "Operator: A. Smith"}),
              cli::Done)
        << err.str();
    EXPECT_TRUE(tool("pdfinfo", {pdf}).contains(QStringLiteral("\nPages: 1\n")));
    // Every font embedded: the column "emb", after the encoding, says yes on each line.
    const QStringList fonts = tool("pdffonts", {pdf}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2);
    for (const QString& font : fonts.mid(2))
        EXPECT_TRUE(font.contains(QStringLiteral(" Identity-H yes "))) << font.toStdString();

    const QString text = tool("pdftotext", {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    const char* lines[] = {
        "Lamp 7",
        "File: lamp.txt",
        "Start time: 26/12/07 09:00:00 Interval: 10 s",
        "Records 1 to 5 of 5: 2026/12/07 09:00:00 to 2026/12/07 09:00:40",
        "Report of 2026-12-08 14:05",
        "count minimum maximum mean SD",
        "x 5 0.3300 0.3480 0.34260 0.00720",
        "y 5 0.3400 0.3570 0.35240 0.00702",
        "u' 5 0.2056 0.2113 0.20941 0.00220",
        "v' 5 0.4766 0.4877 0.48465 0.00454",
        "Ev (lx) 5 480.0 520.0 500.00 15.81",
        "Tcp (K) 5 4900 5600 5100.0 285.0",
        "\u0394uv 5 0.0000 0.0030 0.00150 0.00112",
        "Records: 5 plotted, not numbers: 0",
        "Verdicts (share required: 80 %)",
        "5000 K: 80.0 % inside (4 of 5): PASS",
        "Outside (1): 4",
        "5700 K: 20.0 % inside (1 of 5): FAIL",
        "Outside (4): 1, 2, 3, 5",
        "2700 K: 0.0 % inside (0 of 5): FAIL",
        "Outside (5): 1, 2, 3, 4, 5",
        "Notes",
        "Operator: A. Smith",
    };
    for (const char* line : lines)
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
}

// The window's dialog, driven by keys and clicks, and the client make the same file; only the
// creation date, which the PDF writer takes from the system, differs. The notes typed in the
// window are kept, and the client takes them.
TEST_F(Report, WindowAndClientWriteTheSameBytes)
{
    testsupport::FakeDialogs dialogs;
    files::PlotDocument document;
    ui::FileDialogState cmd;
    ASSERT_TRUE(files::OpenDataFile(data, dialogs, cmd, document, {}));
    PlotViewer viewer(dialogs, document, nullptr, &clock);
    PlotWindow* window = viewer.showAndDraw();
    const QString fromWindow = path("window.pdf");
    dialogs.fileAnswers = {fromWindow};
    dialogs.onModal = [](ui::ModalWindow& modal) {
        auto& dialog = dynamic_cast<ReportDialog&>(modal);
        dialog.show();
        auto* title = dialog.findChild<QLineEdit*>(QStringLiteral("TxtReportTitle"));
        EXPECT_EQ(title->text(), QStringLiteral("lamp.txt"));
        QTest::keyClick(title, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(title, QStringLiteral("Lamp 7"));
        auto* regions = dialog.findChild<QListWidget*>(QStringLiteral("LstReportRegions"));
        regions->setFocus();
        // 2700 K first, then 3000 ... 5000 K (6th), 5700 K (7th).
        QTest::keyClick(regions, Qt::Key_Home);
        QTest::keyClick(regions, Qt::Key_Space);
        for (int down = 0; down < 5; ++down)
            QTest::keyClick(regions, Qt::Key_Down);
        QTest::keyClick(regions, Qt::Key_Space);
        QTest::keyClick(regions, Qt::Key_Down);
        QTest::keyClick(regions, Qt::Key_Space);
        auto* share = dialog.findChild<QLineEdit*>(QStringLiteral("TxtReportShare"));
        QTest::keyClick(share, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(share, QStringLiteral("80"));
        QTest::keyClicks(dialog.findChild<QPlainTextEdit*>(QStringLiteral("TxtReportNotes")),
                         QStringLiteral("Operator: A. Smith"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CmdReportOK")),
                          Qt::LeftButton);
        return dialog.result();
    };
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("Report")), Qt::LeftButton);
    ASSERT_EQ(dialogs.modalRuns, 1);
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.filter, ReportDialogFilter());
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();

    const auto masked = [](QByteArray bytes) {
        static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
        return QString::fromLatin1(bytes).replace(date, QStringLiteral("/CreationDate ()"));
    };
    const QByteArray windowBytes = readFile(fromWindow);
    EXPECT_TRUE(windowBytes.startsWith("%PDF-"));
    // The client runs in a process of its own: what the PDF writer keeps in hash tables must not
    // come out in another order with another hash seed.
    const QString fromClient = path("client.pdf");
    for (int run = 0; run < 4; ++run) {
        QHashSeed::resetRandomGlobalSeed();
        ASSERT_EQ(cli({"--output", fromClient, "--title", "Lamp 7", "--region", "2700 K",
                       "--region", "5000 K", "--region", "5700 K", "--share", "80"}),
                  cli::Done)
            << err.str();
        EXPECT_TRUE(masked(windowBytes) == masked(readFile(fromClient))) << run;
    }
    EXPECT_TRUE(tool("pdftotext", {fromClient, QStringLiteral("-")})
                    .contains(QStringLiteral("Operator: A. Smith")));
}

// The suffix picks the format; bad arguments are usage errors; a file that cannot be written
// is said with the system's reason and leaves the old one whole.
TEST_F(Report, FormatsRefusalsAndFailures)
{
    const struct
    {
        const char* name;
        QStringList arguments;
        int exitCode;
        const char* says;
    } rows[] = {
        {"svg", {"--output", path("r.svg")}, cli::Done, ""},
        {"png", {"--output", path("r.png"), "--uv"}, cli::Done, ""},
        {"no output", {}, cli::Usage, "--output"},
        {"other suffix", {"--output", path("r.txt")}, cli::Usage, ".pdf, .svg or .png"},
        {"unknown region",
         {"--output", path("r.pdf"), "--region", "User 1"},
         cli::Usage,
         "no region \"User 1\"; there are 2700 K, 3000 K"},
        {"share", {"--output", path("r.pdf"), "--share", "101"}, cli::Usage, "0 to 100"},
        {"range", {"--output", path("r.pdf"), "--range", "2-6"}, cli::Usage, "LAST <= 5"},
        {"unwritable", {"--output", path("old.pdf")}, cli::FileFailed, std::strerror(EFBIG)},
    };
    QFile old(path("old.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept");
    old.close();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int code = 0;
        if (QLatin1String(row.name) == QLatin1String("unwritable")) {
            const testsupport::FileSizeLimit limit(16);
            ASSERT_TRUE(limit.active());
            code = cli(row.arguments);
        } else {
            code = cli(row.arguments);
        }
        EXPECT_EQ(code, row.exitCode);
        EXPECT_TRUE(QString::fromStdString(err.str()).contains(QString::fromUtf8(row.says)))
            << err.str();
    }
    EXPECT_EQ(readFile(path("old.pdf")), "kept");
    EXPECT_TRUE(readFile(path("r.svg")).contains("<svg"));
    // The page at 150 dots per inch: 1240 x 1754 for A4.
    const QSizeF page = QPageSize(ReportPageFor(QLocale())).size(QPageSize::Point);
    EXPECT_EQ(QImage(path("r.png")).size(), (page * 150 / 72).toSize());
}

// The heading's facts of a set downloaded from the meter: from its header, or, for a text that
// is no data file, the time stamps of its record items wherever they stand.
TEST(ReportFacts, FromASetTextWithAndWithoutItsHeader)
{
    const std::string record = files::RecordLine({.year = 2026, .month = 11, .day = 27, .hour = 9});
    const std::string later = files::RecordLine({.year = 2026, .month = 11, .day = 27, .hour = 10});
    const std::string set = "582 Data Logger\r\nStart Time : 2026/11/27 09:00:00\r\n"
                            "Total Records : 3\r\nInterval : 5 Second     Unit : lx\r\n"
                            "Date Time X\r\n*****\r\n" +
                            record + "\r\n" + record + "\r\n" + later + "\r\n";
    const files::DataFileFacts facts = files::DataTextFacts(set, 1, 3);
    EXPECT_EQ(facts.startTime, QStringLiteral("2026/11/27 09:00:00"));
    EXPECT_EQ(facts.interval, QStringLiteral("5 s"));
    EXPECT_EQ(facts.firstRecord, QStringLiteral("2026/11/27  09:00:00"));
    EXPECT_EQ(facts.lastRecord, QStringLiteral("2026/11/27  10:00:00"));

    const files::DataFileFacts bare = files::DataTextFacts("junk\r\n" + later + "\r\n", 1, 1);
    EXPECT_EQ(bare.startTime, QString());
    EXPECT_EQ(bare.firstRecord, QStringLiteral("2026/11/27  10:00:00"));
    EXPECT_EQ(bare.lastRecord, bare.firstRecord);
}

// A long recording is read to its end, and a header written without a blank after its
// colons reads as one with it.
TEST(ReportFacts, OfARecordingLargerThanOneReadBlock)
{
    testsupport::TempRoot root;
    const QString path = root.dir.filePath(QStringLiteral("long.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("582 Data Logger\r\nStart Time :26/12/07 09:00:00\r\nTotal Records :20000\r\n"
               "Interval :1 Second     Unit :lx\r\nDate Time X\r\n*****\r\n");
    for (int k = 0; k < 20000; ++k) {
        const std::string line = files::RecordLine({.year = 2026,
                                                    .month = 12,
                                                    .day = 7,
                                                    .hour = 9 + k / 3600,
                                                    .minute = k / 60 % 60,
                                                    .second = k % 60,
                                                    .x = 0.3,
                                                    .y = 0.3}) +
                                 "\r\n";
        file.write(line.data(), static_cast<qint64>(line.size()));
    }
    file.close();
    ASSERT_GT(file.size(), 1 << 20);

    files::DataFileFacts facts;
    ASSERT_EQ(files::ReadDataFileFacts(path, 2, 20000, facts).outcome, files::ReadOutcome::Ok);
    EXPECT_EQ(facts.startTime, QStringLiteral("26/12/07 09:00:00"));
    EXPECT_EQ(facts.interval, QStringLiteral("1 s"));
    EXPECT_EQ(facts.firstRecord, QStringLiteral("2026/12/07  09:00:01"));
    EXPECT_EQ(facts.lastRecord, QStringLiteral("2026/12/07  14:33:19"));
}

} // namespace
} // namespace plot
