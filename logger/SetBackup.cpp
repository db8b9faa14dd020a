#include "logger/SetBackup.h"

#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>

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

std::vector<int> EarlierSetsOfSameStart(const std::vector<QString>& times)
{
    std::vector<int> earlier(times.size(), 0);
    QHash<QString, int> first;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const auto at = first.constFind(times[i]);
        if (at != first.cend())
            earlier[i] = *at;
        else
            first.insert(times[i], static_cast<int>(i) + 1);
    }
    return earlier;
}

QString UnreadSetsQuestion(const std::vector<UnreadSet>& unread, int saved, const QString& folder)
{
    // A few named are enough to tell the user what is at stake.
    static constexpr std::size_t Named = 5;
    QStringList lines;
    for (std::size_t i = 0; i < unread.size() && i < Named; ++i) {
        const UnreadSet& set = unread[i];
        lines << (set.sameStart
                      ? QStringLiteral("Set %1 was not saved: it starts when set %2 does (%3), and "
                                       "the meter sends only the first set of a start time.")
                            .arg(set.number)
                            .arg(set.sameAs)
                            .arg(set.startTime)
                      : QStringLiteral("Set %1 was not saved: the meter sent the same text for it "
                                       "as for set %2.")
                            .arg(set.number)
                            .arg(set.sameAs));
    }
    if (unread.size() > Named)
        lines << QStringLiteral("%1 more sets were not saved.").arg(unread.size() - Named);
    const QString where = QDir::toNativeSeparators(folder);
    lines << (saved == 1
                  ? QStringLiteral("The other set was saved in %1.").arg(where)
                  : QStringLiteral("The other %1 sets were saved in %2.").arg(saved).arg(where));
    lines << QStringLiteral("Erase anyway?");
    return lines.join(QLatin1Char('\n'));
}

} // namespace logger
