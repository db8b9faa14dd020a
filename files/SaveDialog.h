#pragma once

#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

#include <optional>

namespace files {

// The filter list of the save dialog of region files.
QString SaveDialogFilter();
// The filter list of the save dialog of recordings.
QString RecordingDialogFilter();

// The name a recording's save dialog offers: `offered` (what the dialog holds from its last
// use), unless that is empty or one of the program's own working files, which the next start
// or download would overwrite; then the folder a recording was saved in last (the user's
// documents folder at first), with no file named.
QString RecordingDialogName(const QString& offered, const ui::FixedPaths& paths);

// Asks where a recording is to be saved: "Recordings (*.txt)" preselected, the question before
// an existing file is replaced, and ".txt" added to a name typed without an extension. The
// chosen full path; nothing when cancelled or no file is named.
std::optional<QString> ShowRecordingDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog);

// `path` with `suffix` ("txt") added when its file name has no extension.
QString WithDefaultSuffix(const QString& path, const QString& suffix);

// Asks for a file to save under with the given dialog: the filter list above with its first
// pair preselected and the question before an existing file is replaced; no extension is added
// to the typed name. The chosen full path; nothing when cancelled or no file is named.
std::optional<QString> ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog);

} // namespace files
