#include "logger/MemoryErase.h"

#include "logger/SetDownload.h"
#include "logger/TransferProgress.h"
#include "ui/Clock.h"
#include "ui/FixedPaths.h"
#include "ui/WorkingFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace logger {

const QString EraseAllText = QStringLiteral("All the data in memory will be deleted!");

namespace {
const QString NoAnswer = QStringLiteral("the meter does not answer");
const QString Cancelled = QStringLiteral("it was cancelled");
} // namespace

MemoryErase::MemoryErase(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs,
                         const ui::Clock& clock, const ui::FixedPaths& paths,
                         TransferProgress& progress)
    : m_runner(runner), m_dialogs(dialogs), m_clock(clock), m_paths(paths), m_progress(progress)
{
}

bool MemoryErase::run(const Confirmation& confirmation)
{
    // Not even the question while a transfer runs.
    if (m_runner.running())
        return false;
    const Backup saved = backup();
    return confirm(confirmation, saved) && eraseUnlessChanged(saved);
}

bool MemoryErase::advance(int percent)
{
    return m_progress.advance(percent);
}

MemoryErase::Backup MemoryErase::backup()
{
    // The poll stays paused from the status query to the last set.
    const meterlink::PollHold hold = m_runner.hold();
    Backup failed;
    failed.reason = QStringLiteral("another transfer is running");
    auto sequence = m_runner.begin();
    if (!sequence)
        return failed;
    const TransferScope scope(m_progress);
    MemoryListing listing;
    const auto outcome =
        ReadListing(*sequence, listing, [this](int percent) { return advance(percent); });
    if (outcome != ReportTransfer::Outcome::Complete) {
        failed.reason = outcome == ReportTransfer::Outcome::Cancelled ? Cancelled : NoAnswer;
        return failed;
    }
    if (listing.status.sets == 0)
        return Backup{Backup::Outcome::Empty, 0, {}, {}, {}, listing};
    sequence.reset();
    Backup backup = saveSets(listing);
    backup.listing = std::move(listing);
    return backup;
}

MemoryErase::Backup MemoryErase::saveSets(const MemoryListing& listing)
{
    Backup result;
    // A dated folder of its own, made new: never an earlier backup's, nor one planted there.
    const ui::FolderResult backups = m_paths.backups();
    const ui::FolderResult dated =
        backups.ok() ? ui::CreateNewFolder(backups.folder, BackupFolderName(m_clock.now()))
                     : backups;
    if (!dated.ok()) {
        result.reason = dated.problem;
        return result;
    }
    const QString folder = dated.folder.path();
    const std::vector<QString>& times = listing.times;
    // However many sets the directory lists, the backup reads no more than the memory holds.
    const std::uint64_t limit = BackupLimit(listing.status);
    std::uint64_t left = limit;
    QStringList taken;
    const std::vector<int> earlier = EarlierSetsOfSameStart(times);
    // Digests of the texts saved so far, with their set numbers.
    QHash<QByteArray, int> saved;
    const auto count = static_cast<int>(times.size());
    for (int i = 0; i < count; ++i) {
        const QString& digits = times[static_cast<std::size_t>(i)];
        // Asking by its start time would bring the earlier set again.
        if (const int first = earlier[static_cast<std::size_t>(i)]; first != 0) {
            result.unread.push_back({i + 1, first, true, StartTimeDisplay(digits)});
            continue;
        }
        auto sequence = m_runner.begin();
        if (!sequence) {
            result.reason = QStringLiteral("another transfer is running");
            return result;
        }
        const SetText read =
            ReadSet(*sequence, digits, std::min(SetLimit(listing.status.capacity), left),
                    [this, i, count](int percent) { return advance((i * 100 + percent) / count); });
        QString why;
        if (read.outcome == SetText::Outcome::Complete) {
            const QByteArray& text = read.text;
            left -= std::min<std::uint64_t>(left, static_cast<std::uint64_t>(text.size()));
            const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha256);
            if (const auto same = saved.constFind(digest); same != saved.cend()) {
                result.unread.push_back({i + 1, *same, false, StartTimeDisplay(digits)});
                sequence->drain();
                continue;
            }
            saved.insert(digest, i + 1);
            const QString name = BackupFileName(digits, taken);
            const QString path = dated.folder.filePath(name);
            if (SaveAndVerify(dated.folder, name, text + "\r\n", why)) {
                sequence->drain();
                continue;
            }
            result.reason = QStringLiteral("set %1 could not be saved as %2 (%3)")
                                .arg(i + 1)
                                .arg(QDir::toNativeSeparators(path), why);
        } else if (read.outcome == SetText::Outcome::Cancelled) {
            sequence->drain();
            result.reason = Cancelled;
        } else if (read.outcome == SetText::Outcome::TooLarge &&
                   read.size > SetLimit(listing.status.capacity)) {
            result.reason =
                QStringLiteral("the meter reported set %1 larger than its memory").arg(i + 1);
        } else if (read.outcome == SetText::Outcome::TooLarge) {
            result.reason = QStringLiteral("the meter's sets hold more than the %1 bytes its "
                                           "memory has in use; set %2 and those after it were "
                                           "not read")
                                .arg(limit)
                                .arg(i + 1);
        } else {
            result.reason = NoAnswer;
        }
        // A folder that holds nothing is no backup.
        ::unlinkat(backups.folder.fd(), QFile::encodeName(QFileInfo(folder).fileName()).constData(),
                   AT_REMOVEDIR);
        return result;
    }
    result.outcome = Backup::Outcome::Saved;
    result.sets = count - static_cast<int>(result.unread.size());
    result.folder = folder;
    return result;
}

bool MemoryErase::confirm(const Confirmation& confirmation, const Backup& backup)
{
    if (backup.outcome == Backup::Outcome::Failed &&
        m_dialogs.message(QStringLiteral("The backup failed: %1. Erase anyway?").arg(backup.reason),
                          ui::MsgButtons::YesNoDefaultNo,
                          ui::MsgIcon::Exclamation) != ui::MsgAnswer::Yes)
        return false;
    const auto unread = static_cast<int>(backup.unread.size());
    if (backup.outcome == Backup::Outcome::Saved && unread > 0 &&
        m_dialogs.message(UnreadSetsQuestion(backup.unread, backup.sets, backup.folder),
                          ui::MsgButtons::YesNoDefaultNo,
                          ui::MsgIcon::Exclamation) != ui::MsgAnswer::Yes)
        return false;
    QString shown = confirmation.text;
    if (backup.outcome == Backup::Outcome::Saved) {
        const QString folder = QDir::toNativeSeparators(backup.folder);
        if (unread > 0)
            shown += QStringLiteral("\n%1 of the %2 sets were saved in %3.")
                         .arg(backup.sets)
                         .arg(backup.sets + unread)
                         .arg(folder);
        else if (backup.sets == 1)
            shown += QStringLiteral("\nThe 1 set was saved in %1.").arg(folder);
        else
            shown += QStringLiteral("\nThe %1 sets were saved in %2.").arg(backup.sets).arg(folder);
    }
    return m_dialogs.message(shown, ui::MsgButtons::OkCancelDefaultCancel, confirmation.icon,
                             confirmation.title) == ui::MsgAnswer::Ok;
}

bool MemoryErase::eraseUnlessChanged(const Backup& backup)
{
    if (!backup.listing)
        return sendErase();
    auto sequence = m_runner.begin();
    if (!sequence)
        return false;
    // A schedule may have stored a set while the question was open.
    MemoryListing now;
    ReportTransfer::Outcome outcome;
    {
        const TransferScope scope(m_progress);
        outcome = ReadListing(*sequence, now, [this](int percent) { return advance(percent); });
    }
    const QString change = ListingChange(*backup.listing, now);
    if (outcome == ReportTransfer::Outcome::Complete && change.isEmpty()) {
        sequence->request(meterlink::commands::EraseMemory());
        return true;
    }
    sequence.reset();
    if (outcome == ReportTransfer::Outcome::LinkLost)
        m_dialogs.message(LinkLostText, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
    return outcome == ReportTransfer::Outcome::Complete &&
           m_dialogs.message(change + QStringLiteral("\nErase anyway?"),
                             ui::MsgButtons::YesNoDefaultNo,
                             ui::MsgIcon::Exclamation) == ui::MsgAnswer::Yes &&
           sendErase();
}

bool MemoryErase::sendErase()
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return false;
    sequence->request(meterlink::commands::EraseMemory());
    return true;
}

} // namespace logger
