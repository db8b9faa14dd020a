#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "files/SaveDialog.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/PlotWindow.h"
#include "tests/support/PanelHarness.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// "Save" and "Open" through the main window's toolbar, with the virtual meter on the link.
class PanelFileCommands : public testing::Test, protected testsupport::Harness<>
{
protected:
    QString path(const QString& name) const { return QDir(root.dir.path()).filePath(name); }
    QString recIndicator() const
    {
        return window.findChild<QLabel*>(QStringLiteral("LblRec"))->text();
    }
    QString saveTip() const { return window.toolbar()->button(QStringLiteral("Save"))->toolTip(); }

    panel::PanelWindow window{services};
};

TEST_F(PanelFileCommands, RecordsLiveFramesAndSurvivesAnOpenAndASaveDialog)
{
    dialogs.fileAnswers.push_back(path(QStringLiteral("run.txt")));
    window.toolbar()->click(QStringLiteral("Save"));
    ASSERT_TRUE(window.recorder().recording());
    EXPECT_EQ(recIndicator(), QStringLiteral("Rec."));
    EXPECT_EQ(saveTip(), QStringLiteral("Stop Recording"));

    window.PollMeter();
    ASSERT_TRUE(window.latestReading().has_value());
    clock.advance(1);
    window.recorder().sample();
    clock.advance(1);
    window.recorder().sample(); // no frame since the last sample: nothing recorded

    QFile other(path(QStringLiteral("other.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("a\r\nb\r\nc\r\nd\r\ne\r\n");
    other.close();
    dialogs.fileAnswers.push_back(other.fileName());
    window.toolbar()->click(QStringLiteral("Open"));
    EXPECT_NE(window.plotViewer().window(), nullptr);
    EXPECT_EQ(fileState.CurrentFileName, QStringLiteral("other.txt"));
    EXPECT_TRUE(window.polling());
    ui::FileDialogState regions; // and the plot window saves a region file
    dialogs.fileAnswers.push_back(path(QStringLiteral("regions.user")));
    files::ShowSaveDialog(dialogs, regions, fileState);

    window.PollMeter();
    clock.advance(1);
    window.recorder().sample();
    window.toolbar()->click(QStringLiteral("Save"));
    EXPECT_FALSE(window.recorder().recording());
    EXPECT_EQ(recIndicator(), QString());
    EXPECT_EQ(saveTip(), QStringLiteral("Save As"));
    EXPECT_TRUE(dialogs.messages.empty());

    files::PlotData recorded;
    ASSERT_EQ(files::ReadDataFile(path(QStringLiteral("run.txt")), recorded),
              files::ReadOutcome::Ok);
    EXPECT_EQ(recorded.RecordCount, 2);
    EXPECT_FALSE(recorded.RecordX[2].trimmed().isEmpty());
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
            window.toolbar()->click(QStringLiteral("Logger"));
            window.loggerCommands().GridSet_Click(1);
        }
        window.toolbar()->click(QStringLiteral("Save")); // cancelled
        EXPECT_EQ(dialogs.fileAsks.back().before.fileName, documents);
        window.toolbar()->click(QStringLiteral("Open")); // cancelled
        EXPECT_EQ(dialogs.fileAsks.back().before.fileName, openStart);
    }
}

} // namespace
