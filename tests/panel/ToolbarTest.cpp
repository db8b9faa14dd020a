#include "panel/Toolbar.h"

#include "panel/PanelWindow.h"
#include "panel/SetupPictures.h"
#include "tests/panel/SetupTestSupport.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TempRoot.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QStringList AllKeys = {"Save", "Open",   "Interval", "List",  "Graph",
                             "RTC",  "Logger", "Setup",    "Erase", "Chroma"};

// A window with the toolbar and the set-up pictures attached, every other key counting its
// clicks as the commands of the other windows would.
struct Bench
{
    setuptest::ScriptedMeter meter;
    meterlink::MeterLink link{meter};
    testsupport::FakeDialogs dialogs;
    setuptest::FakePoll poll;
    int pcInterval = 1;
    bool recordOn = false;
    QWidget window;
    QWidget* host = new QWidget(&window);
    QWidget* picChroma = new QWidget(&window);
    std::unique_ptr<panel::SetupPictures> pictures;
    panel::MainToolbar* toolbar = new panel::MainToolbar([this] { return recordOn; }, &window);
    QMap<QString, int> runs;

    Bench()
    {
        new QVBoxLayout(host);
        picChroma->setObjectName(QStringLiteral("PicChroma"));
        pictures = std::make_unique<panel::SetupPictures>(
            panel::SetupContext{link, dialogs, poll, [] { return false; }, pcInterval}, host);
        pictures->attach(*toolbar);
        for (const char* key : {"Save", "Open", "RTC", "Logger", "Erase"})
            toolbar->setCommand(QLatin1String(key), [this, key] { ++runs[QLatin1String(key)]; });
    }
};

class ToolbarKey : public testing::TestWithParam<QString>
{
};

TEST_P(ToolbarKey, EveryClickIsIgnoredWhileTheMeterRecords)
{
    Bench bench;
    bench.recordOn = true;
    bench.pictures->picSetup()->show();
    bench.picChroma->hide();
    bench.toolbar->click(GetParam());
    bench.toolbar->button(GetParam())->trigger();
    EXPECT_FALSE(bench.pictures->picSetup()->isHidden());
    EXPECT_TRUE(bench.pictures->picIntv()->isHidden());
    EXPECT_TRUE(bench.picChroma->isHidden());
    EXPECT_TRUE(bench.runs.isEmpty());
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.poll.switches.empty());
}

TEST_P(ToolbarKey, ButtonRunsItsCommandAndClosesTheMenu)
{
    const QString key = GetParam();
    Bench bench;
    bench.pictures->picSetup()->show();
    bench.toolbar->button(key)->trigger();
    // "Setup" toggles the menu; every other button closes it.
    EXPECT_TRUE(bench.pictures->picSetup()->isHidden());
    const bool counted = bench.runs.contains(key);
    EXPECT_EQ(bench.runs.value(key), counted ? 1 : 0);
    EXPECT_EQ(bench.runs.size(), counted ? 1 : 0);
    EXPECT_EQ(bench.pictures->picIntv()->isHidden(), key != QLatin1String("Interval"));
    EXPECT_TRUE(bench.meter.writes().empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ToolbarKey, testing::ValuesIn(AllKeys.begin(), AllKeys.end()),
                         [](const auto& p) { return p.param.toStdString(); });

TEST(Toolbar, SetupTwiceOpensAndClosesTheMenu)
{
    Bench bench;
    auto* menu = bench.pictures->picSetup();
    ASSERT_TRUE(menu->isHidden());
    bench.toolbar->click(QStringLiteral("Setup"));
    EXPECT_FALSE(menu->isHidden());
    bench.toolbar->click(QStringLiteral("Setup"));
    EXPECT_TRUE(menu->isHidden());
}

TEST(Toolbar, ChromaBringsTheRegionTestBack)
{
    Bench bench;
    bench.picChroma->hide();
    bench.toolbar->click(QStringLiteral("Chroma"));
    EXPECT_FALSE(bench.picChroma->isHidden());
}

TEST(Toolbar, ButtonsInOrderWithTheirTooltips)
{
    Bench bench;
    const QStringList tips = {
        "Save",        "Open",   "Interval", "List",        "Graphic Display", "Real Time Clock",
        "Data Logger", "Set up", "Erase",    "Chromaticity"};
    const auto actions = bench.toolbar->actions();
    ASSERT_EQ(actions.size(), AllKeys.size());
    for (int i = 0; i < AllKeys.size(); ++i) {
        EXPECT_EQ(actions[i]->objectName(), AllKeys[i]);
        EXPECT_EQ(actions[i]->toolTip(), tips[i]);
        EXPECT_FALSE(actions[i]->icon().isNull());
    }
}

QImage imageOf(const QIcon& icon)
{
    return icon.pixmap(QSize(32, 32)).toImage();
}

TEST(Toolbar, RecordingLookOfTheFirstButton)
{
    Bench bench;
    QAction* save = bench.toolbar->button(QStringLiteral("Save"));
    bench.toolbar->setRecordingLook(true);
    EXPECT_EQ(save->toolTip(), QStringLiteral("Stop Recording"));
    EXPECT_EQ(imageOf(save->icon()), imageOf(panel::ToolbarImage(10)));
    bench.toolbar->setRecordingLook(false);
    EXPECT_EQ(save->toolTip(), QStringLiteral("Save As"));
    EXPECT_EQ(imageOf(save->icon()), imageOf(panel::ToolbarImage(1)));
}

// The whole main window: the toolbar dispatch reaches the pictures it hosts and the meter.
TEST(PanelToolbar, SetupMenuThroughTheMainWindow)
{
    setuptest::ScriptedMeter meter;
    meter.answers[15] = setuptest::answerWith({8, 30, 0, 17, 0, 5, 0, 90, 1});
    meterlink::MeterLink link(meter);
    testsupport::FakeDialogs dialogs;
    testsupport::FakeClock clock;
    testsupport::TempRoot root;
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, root.paths, plot, fileState, cmd};
    panel::PanelWindow window(services);

    panel::MainToolbar* toolbar = window.toolbar();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->objectName(), QStringLiteral("Toolbar1"));
    auto* menu = window.findChild<QWidget*>(QStringLiteral("PicSetup"));
    auto* cycling = window.findChild<QWidget*>(QStringLiteral("PicCycling"));
    ASSERT_TRUE(menu && cycling);
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("ComboRes0"))->count(), 100);

    window.RecordOn = true;
    toolbar->click(QStringLiteral("Setup"));
    EXPECT_TRUE(menu->isHidden());
    window.RecordOn = false;
    toolbar->click(QStringLiteral("Setup"));
    ASSERT_FALSE(menu->isHidden());

    window.MemoryBusy = true;
    window.findChild<QRadioButton*>(QStringLiteral("OptSetup1"))->setChecked(true);
    window.findChild<QPushButton*>(QStringLiteral("CmdSetUpOK"))->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(meter.codes(), (std::vector<int>{35, 15}));
    EXPECT_FALSE(cycling->isHidden());
    EXPECT_TRUE(menu->isHidden());
    EXPECT_TRUE(window.polling());

    window.findChild<QPushButton*>(QStringLiteral("CmdCycOK"))->click();
    EXPECT_EQ(meter.codes(), (std::vector<int>{35, 15, 21}));
    EXPECT_EQ(meter.writes().back()[10], 90);
    EXPECT_TRUE(window.polling());
}

} // namespace
