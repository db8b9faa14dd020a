#include "files/SaveDialog.h"

#include "ui/SavePath.h"

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

std::optional<QString> ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog)
{
    dialog.filterIndex = 1;
    return ui::AskSavePath(dialogs, dialog, SaveDialogFilter());
}

} // namespace files
