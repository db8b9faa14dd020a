#include "cli/LivePoll.h"
#include "cli/Session.h"
#include "files/PcRecorder.h"
#include "link/FrameReadings.h"

#include <utility>

namespace cli {

namespace {

// The panel's poll: the recorder samples the latest frame that came.
constexpr long long PollMs = 300;

} // namespace

int RecordReadings(Session& session, const RecordOptions& options)
{
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    TerminalDialogs dialogs(session);
    files::LiveSample next;
    files::PcRecorder recorder(session.env.clock, session.env.paths, dialogs,
                               [&next] { return std::exchange(next, files::LiveSample()); });
    LivePoll poll(session, access);
    std::optional<int> exitCode;
    const auto take = [&] {
        if (const auto fields = poll.next(exitCode)) {
            poll.leaveOut(*fields);
            const auto reading = meterlink::RecordReadingFromFrame(*fields);
            next = files::LiveSample{reading, !reading};
        }
    };
    // No recording without a meter; and a recording an earlier run left unsaved is kept aside.
    take();
    if (exitCode)
        return *exitCode;
    if (!recorder.keepAside() || !recorder.start(options.file, options.intervalSeconds))
        return FileFailed;

    Pacer& pacer = session.env.pacer;
    const long long start = pacer.elapsedMs();
    const long long intervalMs = options.intervalSeconds * 1000;
    long long nextSample = start + intervalMs;
    for (long long k = 1; !exitCode && !recorder.writeFailed(); ++k) {
        const long long nextPoll = start + k * PollMs;
        if (options.durationMs && nextPoll - start > *options.durationMs)
            break;
        if (!pacer.wait(nextPoll - pacer.elapsedMs()))
            break;
        take();
        if (pacer.elapsedMs() >= nextSample) {
            recorder.sample();
            nextSample += intervalMs;
        }
    }
    const bool saved = recorder.stop();
    if (saved)
        session.say(QStringLiteral("%1 records written to %2")
                        .arg(recorder.recordCount())
                        .arg(recorder.targetPath()));
    if (!saved || recorder.writeFailed())
        return FileFailed;
    return exitCode.value_or(Done);
}

} // namespace cli
