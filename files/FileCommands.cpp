#include "files/FileCommands.h"

#include "files/DataFileReader.h"
#include "files/SaveDialog.h"

#include <QFileInfo>

namespace files {

namespace {

// The steps of "Open" after its dialog.
bool openChosen(const QString& path, const QString& title, ui::Dialogs& dialogs, FileState& state,
                PlotData& plot, const std::function<void()>& showPlot, const ReadProgress& progress)
{
    if (path.isEmpty())
        return false;
    if (const ReadResult read = ReadDataFile(path, plot, progress);
        read.outcome != ReadOutcome::Ok) {
        dialogs.message(ReadFailureText(path, read), ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return false;
    }
    // Named only once read: a file that failed must not lend its name to the records shown.
    state.CurrentFileName = title;
    if (showPlot)
        showPlot();
    return true;
}

} // namespace

QString OpenDialogFilter()
{
    return QStringLiteral("Data Files (*.txt)|*.txt|All Files (*.*)|*.*|");
}

void SaveCommand(PcRecorder& recorder, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                 FileState& state, long long pcInterval)
{
    if (recorder.recording()) {
        recorder.stop();
        state.FileChosen = false;
        return;
    }
    // The dialog never offers a working file of the program: a recording saved there would be
    // lost at the next start or download. A cancelled dialog leaves `cmd` as it was, so that
    // "Open" still starts from its name.
    ui::FileDialogState dialog = cmd;
    dialog.fileName = RecordingDialogName(cmd.fileName, recorder.paths());
    if (dialog.fileName != cmd.fileName)
        dialog.fileTitle.clear();
    // A FileChosen left over from an earlier dialog must not start a recording after Cancel.
    if (!ShowSaveDialog(dialogs, dialog, state))
        return;
    cmd = dialog;
    // The recorder keeps its own copy of the target: a later dialog that changes
    // CurrentFileName does not redirect the recording.
    if (!recorder.start(state.CurrentFileName, pcInterval))
        state.FileChosen = false;
}

void OpenCommand(ui::Dialogs& dialogs, ui::FileDialogState& cmd, FileState& state, PlotData& plot,
                 const std::function<void()>& resumePoll, const std::function<void()>& showPlot,
                 const ReadProgress& progress)
{
    cmd.filter = OpenDialogFilter();
    cmd.filterIndex = 1;
    if (dialogs.showOpen(cmd))
        openChosen(cmd.fileName, cmd.fileTitle, dialogs, state, plot, showPlot, progress);
    if (resumePoll)
        resumePoll();
}

bool OpenDataFile(const QString& path, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                  FileState& state, PlotData& plot, const std::function<void()>& resumePoll,
                  const std::function<void()>& showPlot, const ReadProgress& progress)
{
    const QFileInfo info(path);
    cmd.fileName = info.absoluteFilePath();
    cmd.fileTitle = info.fileName();
    const bool opened =
        openChosen(cmd.fileName, cmd.fileTitle, dialogs, state, plot, showPlot, progress);
    if (resumePoll)
        resumePoll();
    return opened;
}

} // namespace files
