// What a desktop program is expected to do around the meter's own commands: keep the user's
// settings between runs, menus with shortcuts, help, and a recording one can follow.
#include "app/Program.h"
#include "files/PcRecorder.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/GraphWindow.h"
#include "tests/support/ProgramHarness.h"
#include "ui/ScreenFit.h"
#include "ui/Settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class DesktopTest : public ::testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    template <typename T = QWidget> static T* in(QWidget* window, const char* name)
    {
        auto* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void press(const char* key)
    {
        QTest::mouseClick(in<QToolButton>(window->toolbar(), key), Qt::LeftButton);
    }
    // The main window shown and active, so that its shortcuts are live.
    void activate()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    plot::GraphWindow* graph() const
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<plot::GraphWindow*>(top); found && found->isVisible())
                return found;
        return nullptr;
    }
    // Types a region into row 0 of the Graph's "User Define" panel and draws it.
    void typeGraphRegion(plot::GraphWindow* view, const QStringList& corners)
    {
        QTest::mouseClick(in<QPushButton>(view, "CmdRegions"), Qt::LeftButton);
        QTest::mouseClick(in<QCheckBox>(view, "CkUser0"), Qt::LeftButton);
        for (int i = 0; i < 8; ++i) {
            auto* box = in<QLineEdit>(view, qPrintable(QStringLiteral("TxtUser%1").arg(i)));
            QTest::keyClicks(box, corners[i]);
        }
        QTest::mouseClick(in<QAbstractButton>(view, "CmdUserOK"), Qt::LeftButton);
    }
    // The PC sampling time typed into the question of "Interval".
    void setPcInterval(const QString& seconds)
    {
        window->show();
        dialogs.inputAnswers.push_back(seconds);
        press("Interval");
        QTest::mouseClick(in<QPushButton>(window, "CmdIntvOK"), Qt::LeftButton);
        ASSERT_EQ(window->pcInterval(), seconds.toInt());
    }
    QString statusLine() const { return in<QLabel>(window, "LblRecording")->text(); }
};

const QStringList Square = {"0.30", "0.36", "0.36", "0.30", "0.30", "0.30", "0.36", "0.36"};

TEST_F(DesktopTest, WhatTheUserLeftComesBackAfterARestart)
{
    // The PC sampling time through its picture, the Graph's view, a region and its choice.
    setPcInterval(QStringLiteral("42"));
    press("Graph");
    plot::GraphWindow* view = graph();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(in<QRadioButton>(view, "OptUV"), Qt::LeftButton);
    typeGraphRegion(view, Square);
    auto* regions = in<QComboBox>(view, "ComboRegion");
    QTest::keyClick(regions, Qt::Key_U); // chosen by its first letter
    const QString chosen = regions->currentText();
    ASSERT_EQ(chosen, QStringLiteral("User 1"));
    view->resize(400, 300);
    view->move(40, 30);
    const QRect graphFrame =
        ui::FitOnScreen(QRect(QPoint(40, 30), view->size()), window->screen()->availableGeometry());
    window->move(20, 10);
    // What fits of the panel on the test screen.
    const QRect panelFrame =
        ui::FitOnScreen(QRect(window->frameGeometry().topLeft(), window->size()),
                        window->screen()->availableGeometry());

    start(); // the program object built again
    EXPECT_EQ(QRect(window->frameGeometry().topLeft(), window->size()), panelFrame);
    EXPECT_EQ(window->pcInterval(), 42);
    press("Graph");
    view = graph();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(in<QRadioButton>(view, "OptUV")->isChecked());
    EXPECT_EQ(in<QComboBox>(view, "ComboRegion")->currentText(), chosen);
    ASSERT_NE(view->model().chosenRegion(), nullptr);
    EXPECT_EQ(view->model().chosenRegion()->name, chosen);
    EXPECT_TRUE(in<QCheckBox>(view, "CkUser0")->isChecked());
    EXPECT_EQ(in<QLineEdit>(view, "TxtUser7")->text(), Square[7]);
    EXPECT_EQ(view->frameGeometry().topLeft(), graphFrame.topLeft());
}

TEST_F(DesktopTest, KeptValuesThatNoLongerFitGiveTheDefaults)
{
    stop();
    ui::Settings settings;
    settings.setWindowFrame(QStringLiteral("Graph"), QRect(-9000, 9000, 500, 400));
    settings.setPcInterval(0);
    settings.setValue(QStringLiteral("Graph/region"), QStringLiteral("User 4"));
    settings.setValue(QStringLiteral("Graph/regions"), QStringLiteral("not rows"));
    settings.rememberFolder(ui::FileKind::DataFile,
                            root.dir.filePath(QStringLiteral("gone/a.txt")));
    start();
    EXPECT_EQ(window->pcInterval(), 1);
    press("Graph");
    plot::GraphWindow* view = graph();
    ASSERT_NE(view, nullptr);
    // Beside the panel, as on the first run, and on the screen.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(view->frameGeometry().topLeft())) << view->frameGeometry().x();
    EXPECT_EQ(view->model().chosen(), -1);
    EXPECT_FALSE(in<QCheckBox>(view, "CkUser0")->isChecked());
    // "Open" starts where it always started: the start-up file.
    press("Open");
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.fileName, root.paths.startupFile());
}

TEST_F(DesktopTest, ForgettingTheSettingsStartsTheNextRunWithTheDefaults)
{
    setPcInterval(QStringLiteral("42"));
    dialogs.messageAnswers.push_back(ui::MsgAnswer::Ok);
    in<QAction>(window, "MnuForgetSettings")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, ui::MsgButtons::OkCancelDefaultCancel);
    start();
    EXPECT_EQ(window->pcInterval(), 1);
}

TEST_F(DesktopTest, ShortcutsReachTheirCommands)
{
    activate();
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_FALSE(dialogs.fileAsks[0].save);
    EXPECT_TRUE(dialogs.fileAsks[0].before.filter.startsWith(QStringLiteral("Data Files (*.txt)")));

    QTest::keyClick(window, Qt::Key_F1);
    ASSERT_EQ(dialogs.documents.size(), 1u);
    const QString manual = dialogs.documents[0].second;
    EXPECT_TRUE(manual.contains(QStringLiteral("## The front panel")));
    EXPECT_FALSE(manual.contains(QStringLiteral("## Building")));

    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DesktopTest, MenuEntriesRunTheToolbarsCommandsAndAboutNamesTheVersions)
{
    // The menu goes through the toolbar's dispatch: "Set up" opens and closes its picture.
    QAction* setup = in<QAction>(window, "MnuSetup");
    setup->trigger();
    EXPECT_TRUE(in(window, "PicSetup")->isVisibleTo(window));
    setup->trigger();
    EXPECT_FALSE(in(window, "PicSetup")->isVisibleTo(window));

    in<QAction>(window, "MnuAbout")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString about = dialogs.messages[0].text;
    for (const QString& part :
         {app::ProgramVersion(), QStringLiteral("GPL-3.0-or-later"),
          QStringLiteral("Qt ") + QLatin1String(qVersion()), QStringLiteral("hidapi 0.")})
        EXPECT_TRUE(about.contains(part)) << qPrintable(part) << "\n" << qPrintable(about);

    // Every button says what it does below its caption.
    for (const panel::ToolbarButton& button : panel::ToolbarButtons) {
        const QStringList tip = window->toolbar()->button(button.key)->toolTip().split('\n');
        ASSERT_EQ(tip.size(), 2) << button.name;
        EXPECT_EQ(tip[0], QLatin1String(button.toolTip));
        EXPECT_GT(tip[1].size(), 10) << button.name;
    }
}

TEST_F(DesktopTest, ARecordingSaysWhereItGoesAndHowFarItCame)
{
    dialogs.fileAnswers.push_back(root.dir.filePath(QStringLiteral("lamp")));
    in<QAction>(window, "MnuRecord")->trigger();
    ASSERT_EQ(dialogs.fileAsks.size(), 1u);
    EXPECT_EQ(dialogs.fileAsks[0].before.filter,
              QStringLiteral("Recordings (*.txt)|*.txt|All Files (*.*)|*.*|"));
    ASSERT_TRUE(program->recorder().recording());
    const QString target = root.dir.filePath(QStringLiteral("lamp.txt"));
    EXPECT_EQ(program->recorder().targetPath(), target);
    EXPECT_EQ(statusLine(), QStringLiteral("Recording to lamp.txt: 0 records"));
    EXPECT_EQ(in<QAction>(window, "MnuRecord")->text(), QStringLiteral("&Stop Recording"));

    const char* const expected[] = {"Recording to lamp.txt: 1 record",
                                    "Recording to lamp.txt: 2 records"};
    for (const char* line : expected) {
        window->pollMeter();
        clock.advance(1);
        program->recorder().sample();
        EXPECT_EQ(statusLine(), QLatin1String(line));
    }
    press("Save");
    EXPECT_FALSE(program->recorder().recording());
    EXPECT_EQ(statusLine(), QString());
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QStringLiteral("2 records saved to ") + QDir::toNativeSeparators(target));
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(dialogs.messages.empty());

    // The next recording's dialog starts in the folder of this one, after a restart too.
    start();
    press("Save");
    ASSERT_EQ(dialogs.fileAsks.size(), 2u);
    EXPECT_EQ(dialogs.fileAsks[1].before.fileName, root.dir.path() + QLatin1Char('/'));
}

TEST(Manual, LeavesOutTheSectionsForDevelopers)
{
    const QString readme = QStringLiteral("# Title\nintro\n## Building\ncmake\n## The plot\nplot "
                                          "text\n## Layout\n| a |\n## Help\nF1\n");
    EXPECT_EQ(app::ManualText(readme),
              QStringLiteral("# Title\nintro\n## The plot\nplot text\n## Help\nF1\n"));
}

} // namespace
