#include "plot/PlotWindow.h"

#include "tests/support/PanelHarness.h"
#include "ui/TextValue.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

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

struct RangeCase
{
    const char* min;
    const char* max;
    const char* from;
    const char* to;
    const char* refusal; // nullptr: accepted
};

void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << c.min << " to " << c.max << ", records " << c.from << " to " << c.to;
}

class RangeDialog : public PlotWindowTest, public ::testing::WithParamInterface<RangeCase>
{
};

// The range is read from the boxes: out-of-range texts are refused with the message, the rest
// is drawn to the end, a region with absurd corners included.
TEST_P(RangeDialog, RefusesWithAMessageOrAppliesAndRedraws)
{
    const RangeCase c = GetParam();
    open();
    fillRow(0, {"1e308", "-1e308", "0", "abc", "1e-308", "", "1e999", "99999999999999999999"});
    window->showRegions();
    window->runToolbarButton(QStringLiteral("Resize"));
    fillRange(c.min, c.max, c.from, c.to);
    child<QTimer>("Timer1")->stop();
    window->applyRange();
    if (c.refusal != nullptr) {
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QString::fromLatin1(c.refusal));
        EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Critical);
        EXPECT_TRUE(pictureRange()->isVisible());
        EXPECT_EQ(std::make_pair(data.PlotFrom, data.PlotTo), std::make_pair(1.0, 10.0));
        EXPECT_DOUBLE_EQ(window->axisMax(), 1);
        EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
        return;
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(pictureRange()->isVisible());
    EXPECT_DOUBLE_EQ(data.PlotFrom, ui::NumericValue(QString::fromLatin1(c.from)));
    EXPECT_DOUBLE_EQ(data.PlotCount, data.PlotTo - data.PlotFrom + 1);
    EXPECT_TRUE(child<QTimer>("Timer1")->isActive());
    window->startPlotStage();
    for (int i = 0; i < 100000 && window->plotStageRunning(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(window->plotStageRunning());
}

constexpr const char* RecordRefusal = "1 <= From < to <=10, try again!";
constexpr const char* AxisRefusal = "Max must be greater than Min, try again!";

// The span from -1.7e308 to 1.7e308 is not finite.
INSTANTIATE_TEST_SUITE_P(
    Cases, RangeDialog,
    ::testing::Values(
        RangeCase{"0", "1", "1", "10", nullptr}, RangeCase{"0.2", "0.6", "2.5", "9", nullptr},
        RangeCase{"-1e300", "1e300", "1", "10", nullptr},
        RangeCase{"0", "1e-300", "1", "10", nullptr},
        RangeCase{"0.3", "0.3000000000000001", "1", "10", nullptr},
        RangeCase{"0", "1", "0", "10", RecordRefusal}, RangeCase{"0", "1", "", "10", RecordRefusal},
        RangeCase{"0", "1", "4", "4", RecordRefusal}, RangeCase{"0", "1", "1", "11", RecordRefusal},
        RangeCase{"0", "1", "9", "3", RecordRefusal},
        RangeCase{"0", "1", "-1e999", "1e999", RecordRefusal},
        RangeCase{"1", "1", "0", "0", RecordRefusal}, // the records are checked first
        RangeCase{"0.5", "0.5", "1", "10", AxisRefusal}, RangeCase{"", "", "1", "10", AxisRefusal},
        RangeCase{"abc", "xyz", "1", "10", AxisRefusal},
        RangeCase{"1", "0", "1", "10", AxisRefusal},
        RangeCase{"-1.7e308", "1.7e308", "1", "10", AxisRefusal}));

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
    EXPECT_EQ(dialogs.fileAsks[1].before.filter,
              QStringLiteral("Data Files (*.user)|*.user|All Files (*.*)|*.*|"));
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
    fillRow(2, {"0,31", "2", "3", "4", "5", "6", "7", "8"});
    window->saveRegions(); // a comma is refused before any dialog
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

} // namespace
} // namespace plot
