#include "ui/SavePath.h"

#include <QDir>

namespace ui {

std::optional<QString> AskSavePath(Dialogs& dialogs, FileDialogState& dialog, const QString& filter,
                                   const QString& offered)
{
    if (dialog.filter != filter) {
        dialog.filter = filter;
        dialog.filterIndex = 1;
    }
    dialog.overwritePrompt = true;
    if (dialog.fileName.isEmpty())
        dialog.fileName = offered;
    if (!dialogs.showSave(dialog) || dialog.fileTitle.isEmpty())
        return std::nullopt;
    return dialog.fileName;
}

void ShowNotWritten(Dialogs& dialogs, const QString& what, const QString& path,
                    const QString& reason)
{
    QString text =
        QStringLiteral("%1 could not be written: %2").arg(what, QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    dialogs.message(text, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace ui
