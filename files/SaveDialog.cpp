#include "files/SaveDialog.h"

#include "ui/WorkingFiles.h"

#include <QDir>
#include <QStandardPaths>

namespace files {

QString SaveDialogFilter()
{
    return QStringLiteral("Data Files (*.user)|*.user|All Files (*.*)|*.*|");
}

QString RecordingDialogName(const QString& offered, const ui::FixedPaths& paths)
{
    if (!offered.isEmpty() && !paths.contains(offered))
        return offered;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    // The trailing separator names the folder alone, with no file in it.
    return QDir::cleanPath(folder) + QLatin1Char('/');
}

bool ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog, FileState& state)
{
    dialog.filter = SaveDialogFilter();
    dialog.filterIndex = 1;
    dialog.overwritePrompt = true;
    if (!ui::AskSaveName(dialogs, dialog))
        return false;
    state.CurrentFileName = dialog.fileName;
    state.FileChosen = !dialog.fileTitle.isEmpty();
    return state.FileChosen;
}

} // namespace files
