#include "logger/SetBackup.h"

#include "ui/WorkingFiles.h"

#include <QFile>

namespace logger {

QString BackupFolderName(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
}

QString BackupFileName(const QString& digits, QStringList& taken)
{
    // The digits come from the meter's directory: hexadecimal digits, safe in a file name.
    const QString stem = digits.size() == 14 ? QStringLiteral("%1-%2-%3_%4")
                                                   .arg(digits.left(4), digits.mid(4, 2),
                                                        digits.mid(6, 2), digits.mid(8, 6))
                                             : QStringLiteral("set");
    QString name = stem + QStringLiteral(".txt");
    for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n)
        name = QStringLiteral("%1_%2.txt").arg(stem).arg(n);
    taken << name;
    return name;
}

bool SaveAndVerify(const ui::Folder& folder, const QString& name, const QByteArray& bytes,
                   QString& reason)
{
    if (ui::SaveWhole(folder, name, bytes, reason) != ui::SaveOutcome::Saved)
        return false;
    QFile file;
    if (!ui::OpenToRead(file, folder, name, reason))
        return false;
    if (file.readAll() != bytes) {
        reason = QStringLiteral("the file read back differs from the set");
        return false;
    }
    return true;
}

} // namespace logger
