#include "cli/Session.h"
#include "logger/MemoryListing.h"

namespace cli {

int ListSets(Session& session)
{
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    auto sequence = access.runner().begin();
    logger::MemoryListing listing;
    if (!sequence ||
        logger::ReadListing(*sequence, listing, {}) != logger::ReportTransfer::Outcome::Complete)
        return access.absent();
    const std::vector<QString> shown = logger::StartTimeDisplays(listing.times);
    for (std::size_t k = 0; k < listing.times.size(); ++k) {
        const meterlink::Reply reply = sequence->request(
            meterlink::commands::SetSize(logger::RequestDigits(listing.times[k])));
        if (!reply.answered())
            return access.failure(reply);
        session.out() << k + 1 << '\t' << shown[k].toStdString() << '\t'
                      << logger::DecodeSetSize(reply.answers.front()) << '\n';
    }
    session.out().flush();
    if (!session.out())
        return session.fail(
            FileFailed,
            QStringLiteral("the standard output cannot be written: %1").arg(SystemReason()));
    if (listing.times.empty())
        session.say(QStringLiteral("No Data in Memory!"));
    return Done;
}

} // namespace cli
