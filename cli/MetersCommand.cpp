#include "cli/Session.h"

namespace cli {

int ListMeters(Session& session)
{
    // Listing opens no meter, so it needs neither the working files nor the meter to itself.
    meterlink::MeterLink link(session.platform);
    const auto meters = link.meters();
    if (meters.empty())
        return session.fail(NoMeter, QStringLiteral("no meter is plugged in"));
    for (const auto& meter : meters)
        session.out() << meter.path << '\t' << meter.serial << '\n';
    session.out().flush();
    return session.out().good() ? Done : session.fail(FileFailed, SystemReason());
}

} // namespace cli
