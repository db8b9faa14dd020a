#pragma once

#include "files/SharedData.h"
#include "ui/Dialogs.h"

namespace files {

// The filter list of the save dialog.
QString SaveDialogFilter();

// Asks for a file to save under with the given dialog. Cancel leaves CurrentFileName and
// FileChosen as they were; otherwise CurrentFileName := the chosen full path and FileChosen :=
// whether the chosen file title is not empty. No extension is added to the typed name.
// Returns whether this dialog chose a file, whatever FileChosen held before.
bool ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog, FileState& state);

} // namespace files
