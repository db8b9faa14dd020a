#include "panel/ReadingsWindow.h"

#include "FrameBuilder.h"
#include "link/MeterCommands.h"
#include "panel/PanelWindow.h"
#include "panel/ReadingsModel.h"
#include "panel/Toolbar.h"
#include "tests/support/PanelHarness.h"
#include "tests/support/ProgramHarness.h"
#include "ui/QtDialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace {

using paneltest::FrameBuilder;

// Reading i has X = i.5 and Ev = 100 i, so every row tells which frame it came from.
meterlink::FrameFields reading(int i)
{
    return FrameBuilder()
        .u32(1, static_cast<std::uint32_t>(i) * 10000 + 5000)
        .u32(13, static_cast<std::uint32_t>(i) * 1000000)
        .fields();
}

struct ListBench
{
    testsupport::FakeDialogs dialogs;
    testsupport::FakeClock clock;
    testsupport::TempRoot root;
    panel::ReadingsWindow window{dialogs, clock, nullptr};
    QTableView* grid = window.findChild<QTableView*>(QStringLiteral("GridReadings"));

    ListBench() { window.showBeside(); }
    void add(int from, int to)
    {
        for (int i = from; i <= to; ++i)
            window.addFrame(reading(i));
    }
    void click(const char* button)
    {
        QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
    void clickCell(int row, int column, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers,
                          grid->visualRect(grid->model()->index(row, column)).center());
    }
    QString count() const { return window.findChild<QLabel*>(QStringLiteral("LblCount"))->text(); }
    // X of the row at the top of the view.
    QString topX() const
    {
        return window.readings().cellText(grid->indexAt(QPoint(2, 2)).row(), panel::XColumn);
    }
};

TEST(ReadingsWindow, FollowsTheNewestUnlessScrolledAway)
{
    const struct
    {
        const char* name;
        int rows;
        std::vector<Qt::Key> keys; // pressed with Ctrl in the grid before three more frames
        bool follows;
    } cases[] = {
        {"at the bottom", 200, {}, true},
        {"scrolled to the top", 200, {Qt::Key_Home}, false},
        {"back at the bottom", 200, {Qt::Key_Home, Qt::Key_End}, true},
        // The oldest rows go, and still the rows in view stay put.
        {"full and scrolled away",
         panel::ReadingsModel::Capacity,
         {Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageDown},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListBench bench;
        bench.add(1, c.rows);
        for (const Qt::Key key : c.keys)
            QTest::keyClick(bench.grid, key, Qt::ControlModifier);
        const QString top = bench.topX();
        bench.add(c.rows + 1, c.rows + 3);
        QScrollBar* bar = bench.grid->verticalScrollBar();
        EXPECT_EQ(bar->value() == bar->maximum(), c.follows);
        if (!c.follows) {
            EXPECT_EQ(bench.topX(), top);
        }
    }
}

TEST(ReadingsWindow, PauseCopyExportAndClearAsAUserDoes)
{
    ListBench bench;
    bench.add(1, 2);
    // Readings a few tenths of a second apart tell themselves apart by their times.
    bench.clock.set(bench.clock.now().addMSecs(300));
    bench.add(3, 3);
    bench.click("CmdPause");
    bench.add(4, 4);
    EXPECT_EQ(bench.count(), QStringLiteral("Readings: 3 (paused)"));
    bench.click("CmdPause");
    bench.add(5, 5);
    EXPECT_EQ(bench.count(), QStringLiteral("Readings: 4"));

    // Rows 2 and 3 from the time to Ev, copied by the button and by the keyboard alike.
    const auto local = [](QString values) {
        return values.replace(QLatin1Char('.'), QLocale().decimalPoint());
    };
    const QString expected =
        QStringLiteral("Time\tMode\tX\tY\tZ\tEv (lx)\n2026-12-05T16:39:05.000\t0 Ev x y\t") +
        local(QStringLiteral("2.5\t0.0\t0.0\t200.0")) +
        QStringLiteral("\n2026-12-05T16:39:05.300\t0 Ev x y\t") +
        local(QStringLiteral("3.5\t0.0\t0.0\t300.0")) + QLatin1Char('\n');
    bench.clickCell(1, panel::TimeColumn);
    bench.clickCell(2, panel::EvColumn, Qt::ShiftModifier);
    bench.click("CmdCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(bench.grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);

    // A file that cannot be made is told; the readings stay for another try.
    bench.dialogs.fileAnswers = {bench.root.dir.filePath(QStringLiteral("none/r.csv"))};
    bench.click("CmdExport");
    ASSERT_EQ(bench.dialogs.messages.size(), 1u);
    EXPECT_TRUE(bench.dialogs.messages[0].text.startsWith(
        QStringLiteral("The readings could not be written: ")));

    bench.dialogs.messageAnswers = {ui::MsgAnswer::Cancel, ui::MsgAnswer::Ok};
    bench.click("CmdClear");
    EXPECT_EQ(bench.count(), QStringLiteral("Readings: 4"));
    bench.click("CmdClear");
    EXPECT_EQ(bench.count(), QStringLiteral("Readings: 0"));
}

// Beside a panel near the right edge of the screen, the list opens wholly on it, no wider than
// it; its question opens over it, and Enter there answers the question's default.
TEST(ReadingsWindow, OpensOnTheScreenAndAsksOverItself)
{
    QWidget panel;
    panel.setGeometry(600, 40, 300, 200);
    panel.show();
    ui::QtDialogs dialogs(&panel);
    testsupport::FakeClock clock;
    panel::ReadingsWindow list(dialogs, clock, &panel);
    list.showBeside();
    const QRect screen = panel.screen()->availableGeometry();
    EXPECT_EQ(screen.intersected(list.frameGeometry()), list.frameGeometry());
    EXPECT_EQ(list.frameGeometry().top(), panel.frameGeometry().top());

    struct Press
    {
        ui::MsgButtons buttons;
        ui::MsgAnswer answer;
    };
    for (const Press& row : {Press{ui::MsgButtons::OkCancel, ui::MsgAnswer::Ok},
                             Press{ui::MsgButtons::OkCancelDefaultCancel, ui::MsgAnswer::Cancel}}) {
        list.activateWindow(); // as the user's click in it does
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            owner = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(dialogs.message(QStringLiteral("Erase?"), row.buttons, ui::MsgIcon::Question),
                  row.answer);
        EXPECT_EQ(owner, &list);
    }
}

// The virtual meter polled by the main window: "List" opens the table, every frame but those
// of the meter's set-up menu adds a row, and nothing more goes over the wire than the polls.
TEST(ReadingsWindow, FillsFromThePanelPollAndExports)
{
    testsupport::ProgramHarness<> h;
    h.meter.model().setLight(virtualmeter::Light{5000, 0, 500});
    panel::PanelWindow& panelWindow = *h.window;
    panel::MainToolbar* toolbar = panelWindow.toolbar();
    QTest::mouseClick(toolbar->widgetForAction(toolbar->button(panel::ToolbarKey::List)),
                      Qt::LeftButton);
    auto* list = panelWindow.findChild<panel::ReadingsWindow*>(QStringLiteral("List"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    for (int tick = 0; tick < 3; ++tick) {
        panelWindow.pollMeter();
        h.clock.advance(1);
    }
    h.meter.model().setInSetup(true);
    panelWindow.pollMeter();
    for (const auto& report : h.meter.writes())
        EXPECT_EQ(report[1], meterlink::meter::Poll);

    const QString path = h.root.dir.filePath(QStringLiteral("list.csv"));
    h.dialogs.fileAnswers = {path};
    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("CmdExport")), Qt::LeftButton);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5); // the titles, three readings, nothing after the last CR LF
    EXPECT_TRUE(lines[0].startsWith("Time,Mode,X,Y,Z,Ev (lx),"));
    EXPECT_TRUE(lines[1].startsWith("2026-12-05T16:39:05.000,0 Ev x y,"));
    EXPECT_TRUE(lines[3].startsWith("2026-12-05T16:39:07.000,0 Ev x y,"));
    EXPECT_EQ(lines[3].split(',').value(panel::EvColumn), QByteArray("500.0"));
}

} // namespace
