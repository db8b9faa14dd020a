#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ui {
class Folder;
}

// Where and how the sets are kept before the memory is erased: one dated folder per backup,
// one data file per set, named by the set's start time.
namespace logger {

// "2026-12-05_163905" for a backup made at that time.
QString BackupFolderName(const QDateTime& time);
// "2026-12-05_163905.txt" for the start time digits "20261205163905"; when `taken` holds that
// name already, "2026-12-05_163905_2.txt" and so on. The name returned is added to `taken`.
QString BackupFileName(const QString& digits, QStringList& taken);
// Saves `bytes` as the file `name` in `folder`, whole or not at all, and reads it back: true
// only when the file holds exactly those bytes; otherwise false with the reason.
bool SaveAndVerify(const ui::Folder& folder, const QString& name, const QByteArray& bytes,
                   QString& reason);

} // namespace logger
