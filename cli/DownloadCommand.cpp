#include "cli/Session.h"
#include "logger/MemoryListing.h"
#include "logger/SetBackup.h"
#include "logger/SetDownload.h"

#include <QDir>

namespace cli {

int DownloadSets(Session& session, std::optional<int> which, const QString& folder)
{
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    logger::MemoryListing listing;
    if (auto sequence = access.runner().begin();
        !sequence ||
        logger::ReadListing(*sequence, listing, {}) != logger::ReportTransfer::Outcome::Complete)
        return access.absent();
    const auto count = static_cast<int>(listing.times.size());
    if (which && *which > count)
        return session.fail(Usage, count == 0
                                       ? QStringLiteral("No Data in Memory!")
                                       : QStringLiteral("the meter holds sets 1 to %1").arg(count));
    TerminalDialogs dialogs(session);
    TerminalProgress progress(session.env.pacer);
    // The meter finds a set by its start time: a later set of the same time would bring the
    // earlier one's text again.
    const std::vector<int> earlier = logger::EarlierSetsOfSameStart(listing.times);
    QStringList names;
    for (int k = which.value_or(1); k <= which.value_or(count); ++k) {
        const QString& digits = listing.times[static_cast<std::size_t>(k - 1)];
        const QString name = logger::BackupFileName(digits, names);
        if (const int first = earlier[static_cast<std::size_t>(k - 1)]; first != 0) {
            session.say(QStringLiteral("set %1 starts when set %2 does, and the meter sends "
                                       "that set for it; it is left out")
                            .arg(k)
                            .arg(first));
            continue;
        }
        const auto text = logger::DownloadSet(access.runner(), dialogs, progress, digits,
                                              logger::SetLimit(listing.status.capacity));
        if (!text)
            return session.env.pacer.stopRequested() ? Done : access.absent();
        const QString path = QDir(folder).filePath(name);
        QString reason;
        if (ui::SaveWhole(path, *text + "\r\n", std::nullopt, reason) != ui::SaveOutcome::Saved)
            return session.fail(
                FileFailed,
                QStringLiteral("set %1 could not be saved as %2: %3").arg(k).arg(path, reason));
        session.out() << path.toStdString() << '\n' << std::flush;
    }
    if (count == 0)
        session.say(QStringLiteral("No Data in Memory!"));
    return Done;
}

} // namespace cli
