#pragma once

#include "ui/Dialogs.h"
#include "ui/Settings.h"

#include <QString>
#include <optional>

namespace ui {

// Asks with the save dialog `dialog` where to save: its filter list becomes `filter` (the first
// pair preselected when the list is new to the dialog, else the one chosen last), an existing
// file is asked about, and `offered` is the name shown when the dialog holds none yet. The full
// path chosen; nothing when the dialog is cancelled or no file is named, and nothing, said in a
// message, when the name the dialog offered is taken unchanged although another account can
// change where it lies: a name the program suggests is one another account can foresee. With a
// `kind`, a dialog that holds no name yet offers its file in the folder a file of that kind was
// saved in last (in an earlier run too), and the folder chosen is kept.
std::optional<QString> AskSavePath(Dialogs& dialogs, FileDialogState& dialog, const QString& filter,
                                   const QString& offered = QString(),
                                   std::optional<FileKind> kind = std::nullopt);

// Tells the user that `what` ("The CSV file") could not be written as `path`, and the system's
// reason.
void ShowNotWritten(Dialogs& dialogs, const QString& what, const QString& path,
                    const QString& reason);

} // namespace ui
