#include "logger/MemoryListing.h"

#include <QHash>
#include <QStringList>

namespace logger {

ReportTransfer::Outcome ReadDirectory(meterlink::MeterSequence& sequence, int sets,
                                      std::vector<QString>& times,
                                      const ReportTransfer::Progress& progress)
{
    sequence.send(meterlink::commands::Directory());
    ReportTransfer transfer(sequence, 2);
    const auto outcome =
        transfer.collect(static_cast<std::uint64_t>(DirectoryReports(sets)), progress);
    if (outcome == ReportTransfer::Outcome::Complete)
        times = DecodeDirectory(transfer.bytes(), sets);
    return outcome;
}

ReportTransfer::Outcome ReadListing(meterlink::MeterSequence& sequence, MemoryListing& listing,
                                    const ReportTransfer::Progress& progress,
                                    const std::function<bool(const MemoryStatus&)>& wantSets)
{
    const meterlink::Reply reply = sequence.request(meterlink::commands::MemoryStatus());
    if (!reply.answered())
        return ReportTransfer::Outcome::LinkLost;
    listing.status = DecodeMemoryStatus(reply.answers.front());
    listing.times.clear();
    if (listing.status.sets == 0 || (wantSets && !wantSets(listing.status)))
        return ReportTransfer::Outcome::Complete;
    return ReadDirectory(sequence, listing.status.sets, listing.times, progress);
}

QString ListingChange(const MemoryListing& before, const MemoryListing& now)
{
    // Each start time of `before` accounts for one set of `now`.
    QHash<QString, int> known;
    for (const QString& time : before.times)
        ++known[time];
    QStringList added;
    for (std::size_t k = 0; k < now.times.size(); ++k) {
        int& left = known[now.times[k]];
        if (left > 0)
            --left;
        else
            added << QStringLiteral("%1 (%2)").arg(k + 1).arg(StartTimeDisplay(now.times[k]));
    }
    // A few named are enough to tell the user what is at stake.
    static constexpr int Named = 5;
    if (added.size() > Named) {
        const auto more = added.size() - Named;
        added.resize(Named);
        added << QStringLiteral("%1 more").arg(more);
    }
    if (added.size() == 1)
        return QStringLiteral("The meter stored set %1 after the backup; it is not saved.")
            .arg(added.front());
    if (!added.isEmpty())
        return QStringLiteral("The meter stored sets %1 after the backup; they are not saved.")
            .arg(added.join(QStringLiteral(", ")));
    const MemoryStatus& a = before.status;
    const MemoryStatus& b = now.status;
    if (a.capacity != b.capacity || a.free != b.free || a.sets != b.sets ||
        before.times != now.times)
        return QStringLiteral("The meter's memory changed after the backup; not all of it is "
                              "saved.");
    return {};
}

} // namespace logger
