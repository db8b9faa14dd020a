#include "cli/Session.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <istream>
#include <poll.h>
#include <unistd.h>

namespace cli {

namespace {

// Set by the signal handler, which also wakes a wait through the pipe.
volatile std::sig_atomic_t StopRequested = 0;
int WakeRead = -1;
int WakeWrite = -1;

extern "C" void RequestStop(int)
{
    const int saved = errno;
    StopRequested = 1;
    const char byte = 1;
    if (::write(WakeWrite, &byte, 1) < 0) {
        // The pipe is full: a wake-up is already pending.
    }
    errno = saved;
}

long long MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

SignalPacer::SignalPacer() : m_start(MonotonicMs())
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        WakeRead = fds[0];
        WakeWrite = fds[1];
    }
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

SignalPacer::~SignalPacer()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

bool SignalPacer::wait(long long ms)
{
    const long long until = MonotonicMs() + ms;
    while (StopRequested == 0) {
        const long long left = until - MonotonicMs();
        if (left <= 0)
            return true;
        pollfd wake = {WakeRead, POLLIN, 0};
        ::poll(&wake, 1, static_cast<int>(std::min(left, 60'000LL)));
    }
    return false;
}

long long SignalPacer::elapsedMs() const
{
    return MonotonicMs() - m_start;
}

bool SignalPacer::stopRequested() const
{
    return StopRequested != 0;
}

void Session::say(const QString& text)
{
    env.err << "tellarix582-cli: " << text.toStdString() << '\n' << std::flush;
}

int Session::fail(int code, const QString& text)
{
    say(text);
    return code;
}

QString SystemReason()
{
    return qt_error_string(errno != 0 ? errno : EIO);
}

MeterAccess::MeterAccess(Session& session)
    : m_session(session), m_link(session.platform), m_runner(m_link)
{
    if (!session.meterPath.empty())
        m_link.chooseMeter(session.meterPath);
}

int MeterAccess::take()
{
    ui::TakenWorkingFiles taken = ui::TakeWorkingFiles(
        m_session.env.paths, QStringLiteral("tellarix582-cli %1").arg(m_session.command));
    if (!taken.lock)
        return m_session.fail(taken.heldByOther ? NoMeter : FileFailed, taken.problem);
    m_lock = std::move(taken.lock);
    // A meter named must be the one talked to: discovery would take another one in its place.
    if (const std::string& path = m_session.meterPath; !path.empty()) {
        const auto meters = m_link.meters();
        if (std::none_of(meters.begin(), meters.end(),
                         [&path](const auto& meter) { return meter.path == path; }))
            return m_session.fail(
                NoMeter,
                QStringLiteral("no meter is plugged in at %1").arg(QString::fromStdString(path)));
    }
    return Done;
}

int MeterAccess::failure(const meterlink::Reply& reply)
{
    if (reply.outcome == meterlink::Reply::Outcome::LinkLost)
        return m_session.fail(MeterSilent, QStringLiteral("the meter stopped answering (%1)")
                                               .arg(QString::fromStdString(reply.reason)));
    if (m_session.platform.lastOpenDenied())
        return m_session.fail(NoMeter,
                              QStringLiteral("the meter is plugged in, but this user may not use "
                                             "it: install the program's udev rule and plug the "
                                             "meter in again"));
    return m_session.fail(NoMeter, QStringLiteral("no meter is plugged in"));
}

int MeterAccess::absent()
{
    meterlink::Reply reply;
    const bool gone = m_link.meters().empty() || m_session.platform.lastOpenDenied();
    reply.outcome = gone ? meterlink::Reply::Outcome::NoMeter : meterlink::Reply::Outcome::LinkLost;
    reply.reason = "it does not answer";
    return failure(reply);
}

ui::MsgAnswer TerminalDialogs::message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon,
                                       const QString&)
{
    m_session.say(text);
    if (buttons == ui::MsgButtons::Ok)
        return ui::MsgAnswer::Ok;
    const bool okCancel =
        buttons == ui::MsgButtons::OkCancel || buttons == ui::MsgButtons::OkCancelDefaultCancel;
    bool yes = okCancel && m_okAnswered;
    if (!yes && m_session.env.interactive && m_session.env.in != nullptr) {
        m_session.env.err << (okCancel ? "Go on? [y/N] " : "[y/N] ") << std::flush;
        std::string answer;
        std::getline(*m_session.env.in, answer);
        yes = answer == "y" || answer == "Y" || answer == "yes";
    }
    if (!yes)
        m_declined = buttons;
    if (okCancel)
        return yes ? ui::MsgAnswer::Ok : ui::MsgAnswer::Cancel;
    return yes ? ui::MsgAnswer::Yes : ui::MsgAnswer::No;
}

} // namespace cli
