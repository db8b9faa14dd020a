#include "files/FileCommands.h"

#include "files/DataFileReader.h"
#include "files/SaveDialog.h"
#include "ui/Settings.h"

#include <QFileInfo>

namespace files {

namespace {

// The steps of "Open" after its dialog.
bool openChosen(const QString& path, const QString& title, ui::Dialogs& dialogs,
                PlotDocument& document, const std::function<void()>& showPlot,
                const ReadProgress& progress)
{
    if (path.isEmpty())
        return false;
    RecordTable records;
    const ReadResult read = ReadDataFile(path, records, progress);
    if (read.outcome != ReadOutcome::Ok) {
        dialogs.message(ReadFailureText(path, read), ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return false;
    }
    document.open(std::move(records), title, {path, read.stamp, {}});
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
                 long long pcInterval)
{
    if (recorder.recording()) {
        recorder.stop();
        return;
    }
    // The dialog never offers a working file of the program: a recording saved there would be
    // lost at the next start or download. A cancelled dialog leaves `cmd` as it was, so that
    // "Open" still starts from its name.
    ui::FileDialogState dialog = cmd;
    dialog.fileName = RecordingDialogName(cmd.fileName, recorder.paths());
    if (dialog.fileName != cmd.fileName)
        dialog.fileTitle.clear();
    const std::optional<QString> target = ShowRecordingDialog(dialogs, dialog);
    if (!target)
        return;
    cmd = dialog;
    if (recorder.start(*target, pcInterval))
        ui::Settings().rememberFolder(ui::FileKind::Recording, *target);
}

bool OpenCommand(ui::Dialogs& dialogs, ui::FileDialogState& cmd, PlotDocument& document,
                 const std::function<void()>& showPlot, const ReadProgress& progress)
{
    cmd.filter = OpenDialogFilter();
    cmd.filterIndex = 1;
    return dialogs.showOpen(cmd) &&
           openChosen(cmd.fileName, cmd.fileTitle, dialogs, document, showPlot, progress);
}

bool OpenDataFile(const QString& path, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                  PlotDocument& document, const std::function<void()>& showPlot,
                  const ReadProgress& progress)
{
    const QFileInfo info(path);
    cmd.fileName = info.absoluteFilePath();
    cmd.fileTitle = info.fileName();
    return openChosen(cmd.fileName, cmd.fileTitle, dialogs, document, showPlot, progress);
}

} // namespace files
