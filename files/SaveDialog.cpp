#include "files/SaveDialog.h"

#include "ui/SavePath.h"
#include "ui/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace files {

QString SaveDialogFilter()
{
    return QStringLiteral("Data Files (*.user)|*.user|All Files (*.*)|*.*|");
}

QString RecordingDialogFilter()
{
    return QStringLiteral("Recordings (*.txt)|*.txt|All Files (*.*)|*.*|");
}

QString RecordingDialogName(const QString& offered, const ui::FixedPaths& paths)
{
    // A folder alone (the open dialog's last folder) is not where recordings go.
    if (!offered.isEmpty() && !offered.endsWith(QLatin1Char('/')) && !paths.contains(offered))
        return offered;
    // The trailing separator names the folder alone, with no file in it.
    return ui::Settings().folder(ui::FileKind::Recording) + QLatin1Char('/');
}

QString WithDefaultSuffix(const QString& path, const QString& suffix)
{
    const QFileInfo info(path);
    // "run." ends its name on purpose with nothing after the point; ".hidden" has no extension.
    if (info.fileName().isEmpty() || info.fileName().lastIndexOf(QLatin1Char('.')) > 0)
        return path;
    return path + QLatin1Char('.') + suffix;
}

std::optional<QString> ShowRecordingDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog)
{
    const QString suffix = QStringLiteral("txt");
    // The dialog itself adds it where it can, so that it asks before replacing "run.txt".
    dialog.defaultSuffix = suffix;
    std::optional<QString> chosen = ui::AskSavePath(dialogs, dialog, RecordingDialogFilter());
    if (!chosen)
        return std::nullopt;
    *chosen = WithDefaultSuffix(*chosen, suffix);
    if (*chosen != dialog.fileName) {
        dialog.fileName = *chosen;
        dialog.fileTitle = QFileInfo(*chosen).fileName();
    }
    return chosen;
}

std::optional<QString> ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog)
{
    dialog.filterIndex = 1;
    return ui::AskSavePath(dialogs, dialog, SaveDialogFilter());
}

} // namespace files
