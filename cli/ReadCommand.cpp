#include "cli/LivePoll.h"
#include "cli/ReadingPrinter.h"
#include "cli/Session.h"

#include <cerrno>
#include <fstream>

namespace cli {

int ReadReadings(Session& session, const ReadOptions& options)
{
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    std::ofstream file;
    if (!options.output.isEmpty()) {
        errno = 0;
        file.open(options.output.toStdString(), std::ios::out | std::ios::trunc);
        if (!file)
            return session.fail(
                FileFailed,
                QStringLiteral("%1 cannot be written: %2").arg(options.output, SystemReason()));
    }
    std::ostream& out = options.output.isEmpty() ? session.out() : file;
    const QString outName =
        options.output.isEmpty() ? QStringLiteral("the standard output") : options.output;
    ReadingPrinter printer(options.format, out);
    LivePoll poll(session, access);
    Pacer& pacer = session.env.pacer;
    const long long start = pacer.elapsedMs();
    long long written = 0;
    bool titled = false;
    std::optional<int> exitCode;
    for (long long k = 1; !exitCode; ++k) {
        if (const auto fields = poll.next(exitCode)) {
            errno = 0;
            bool ok = titled || printer.header(fields->unitFc);
            titled = true;
            if (ok && !poll.leaveOut(*fields)) {
                ok = printer.row(ReadingRowAt(*fields, session.env.clock.now()));
                ++written;
            }
            if (!ok)
                return session.fail(
                    FileFailed,
                    QStringLiteral("%1 cannot be written: %2").arg(outName, SystemReason()));
        }
        if (exitCode || (options.count && written >= *options.count))
            break;
        const long long next = start + k * options.intervalMs;
        if (options.durationMs && next - start > *options.durationMs)
            break;
        if (!pacer.wait(next - pacer.elapsedMs()))
            break;
    }
    if (poll.leftOut() > 0)
        session.say(
            QStringLiteral("%1 frames left out (set-up menu or overload)").arg(poll.leftOut()));
    return exitCode.value_or(Done);
}

} // namespace cli
