#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

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

// The meter finds a set by its start time and answers with the first set of that time: for set
// k (index k - 1 of `times`) the number of the first earlier set with the same start time, 0
// when it has none.
std::vector<int> EarlierSetsOfSameStart(const std::vector<QString>& times);

// A set the backup could not read apart from an earlier one, so it holds no copy of it.
struct UnreadSet
{
    int number = 0;
    int sameAs = 0;         // the earlier set that came back in its place
    bool sameStart = false; // the two start at one time; otherwise the meter sent one text
    QString startTime;      // as the list shows it
};
// The question before an erase when `unread` sets could not be saved and `saved` were saved in
// `folder`: names them, and asks "Erase anyway?".
QString UnreadSetsQuestion(const std::vector<UnreadSet>& unread, int saved, const QString& folder);

} // namespace logger
