#pragma once

#include "files/SharedData.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

namespace files {

// The filter list of the save dialog.
QString SaveDialogFilter();

// The name a recording's save dialog offers: `offered` (what the dialog holds from its last
// use), unless that is empty or one of the program's own working files, which the next start
// or download would overwrite; then the user's documents folder, with no file named.
QString RecordingDialogName(const QString& offered, const ui::FixedPaths& paths);

// Asks for a file to save under with the given dialog. Cancel leaves CurrentFileName and
// FileChosen as they were; otherwise CurrentFileName := the chosen full path and FileChosen :=
// whether the chosen file title is not empty. No extension is added to the typed name.
// Returns whether this dialog chose a file, whatever FileChosen held before.
bool ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog, FileState& state);

} // namespace files
