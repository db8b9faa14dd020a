#include "ui/SavePath.h"

#include "ui/SafeFolder.h"

#include <QDir>
#include <QFileInfo>

namespace ui {

namespace {

std::optional<QString> AskPath(Dialogs& dialogs, FileDialogState& dialog, const QString& filter,
                               const QString& offered)
{
    if (dialog.filter != filter) {
        dialog.filter = filter;
        dialog.filterIndex = 1;
    }
    dialog.overwritePrompt = true;
    if (dialog.fileName.isEmpty())
        dialog.fileName = offered;
    const QString shown = QDir::cleanPath(dialog.fileName);
    if (!dialogs.showSave(dialog) || dialog.fileTitle.isEmpty())
        return std::nullopt;
    if (QDir::cleanPath(dialog.fileName) != shown)
        return dialog.fileName;
    if (const QString problem = SharedFolderProblem(dialog.fileName); !problem.isEmpty()) {
        dialogs.message(QStringLiteral("The program does not save as \"%1\", the name it offered: "
                                       "%2, so another user could have chosen what stands there. "
                                       "Choose a folder of your own, or another name.")
                            .arg(QDir::toNativeSeparators(dialog.fileName), problem),
                        MsgButtons::Ok, MsgIcon::Exclamation);
        return std::nullopt;
    }
    return dialog.fileName;
}

} // namespace

std::optional<QString> AskSavePath(Dialogs& dialogs, FileDialogState& dialog, const QString& filter,
                                   const QString& offered, std::optional<FileKind> kind)
{
    QString start = offered;
    if (kind && dialog.fileName.isEmpty()) {
        if (const auto folder = Settings().keptFolder(*kind)) {
            // The trailing separator names the folder alone when nothing is offered in it.
            const QString name = QFileInfo(offered).fileName();
            start = name.isEmpty() ? *folder + QLatin1Char('/') : QDir(*folder).filePath(name);
        }
    }
    std::optional<QString> path = AskPath(dialogs, dialog, filter, start);
    if (path && kind)
        Settings().rememberFolder(*kind, *path);
    return path;
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
