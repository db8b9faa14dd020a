#include "files/SaveDialog.h"

namespace files {

QString SaveDialogFilter()
{
    return QStringLiteral("Data Files (*.user)|*.user|All Files (*.*)|*.*|");
}

bool ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog, FileState& state)
{
    dialog.filter = SaveDialogFilter();
    dialog.filterIndex = 1;
    dialog.overwritePrompt = true;
    if (!dialogs.showSave(dialog))
        return false;
    state.CurrentFileName = dialog.fileName;
    state.FileChosen = !dialog.fileTitle.isEmpty();
    return state.FileChosen;
}

} // namespace files
