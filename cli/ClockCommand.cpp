#include "cli/Session.h"
#include "clock/ClockTexts.h"

#include <QDateTime>

namespace cli {

namespace {

// "2026-12-05T16:39:05" from the meter's "26/12/05 16:39:05": the meter keeps two year digits.
QString IsoMeterTime(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, QStringLiteral("yy/MM/dd HH:mm:ss"));
    return time.isValid() ? time.addYears(100).toString(Qt::ISODate) : text;
}

} // namespace

int MeterClock(Session& session, const QString& set)
{
    std::optional<QDateTime> newTime;
    if (!set.isEmpty()) {
        newTime = set == QLatin1String("now")
                      ? session.env.clock.now()
                      : QDateTime::fromString(set, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (!newTime->isValid() || newTime->date().year() < 2000 || newTime->date().year() > 2099)
            return session.fail(Usage, QStringLiteral("clock --set takes \"now\" or a time "
                                                      "from 2000 to 2099 as "
                                                      "YYYY-MM-DDTHH:MM:SS, not \"%1\"")
                                           .arg(set));
    }
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    if (newTime)
        meterclock::SetMeterClock(access.runner(),
                                  meterclock::ClockFields(meterclock::PCTimeText(*newTime)));
    // Read back after a set: what the meter keeps now.
    const std::optional<QString> time = meterclock::ReadMeterTime(access.runner());
    if (!time)
        return access.absent();
    session.out() << IsoMeterTime(*time).toStdString() << '\n' << std::flush;
    return Done;
}

} // namespace cli
