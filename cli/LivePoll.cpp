#include "cli/LivePoll.h"

namespace cli {

std::optional<meterlink::FrameFields> LivePoll::next(std::optional<int>& exitCode)
{
    const auto reply = m_access.runner().poll();
    if (reply && reply->answered()) {
        if (m_away)
            m_session.say(QStringLiteral("the meter answers again"));
        m_away = false;
        m_answered = true;
        m_unanswered = 0;
        return meterlink::DecodeFrame(
            meterlink::AssembleFrame(reply->answers[0], reply->answers[1]));
    }
    // A signal that broke off the read is no fault of the meter's.
    if (!reply || m_session.env.pacer.stopRequested())
        return std::nullopt;
    const bool lost = reply->outcome == meterlink::Reply::Outcome::LinkLost;
    if (lost)
        ++m_unanswered;
    if ((!m_answered && !lost) || m_unanswered >= MaxUnanswered) {
        exitCode = m_access.failure(*reply);
        return std::nullopt;
    }
    if (!m_away)
        m_session.say(QStringLiteral("the meter went away (%1); waiting for it to come back")
                          .arg(lost ? QString::fromStdString(reply->reason)
                                    : QStringLiteral("it is no longer plugged in")));
    m_away = true;
    return std::nullopt;
}

bool LivePoll::leaveOut(const meterlink::FrameFields& fields)
{
    const int kind = fields.setUp ? 1 : fields.overload ? 2 : 0;
    if (kind != 0 && kind != m_lastLeftOut)
        m_session.say(kind == 1 ? QStringLiteral("the meter shows its set-up menu; its frames "
                                                 "are left out")
                                : QStringLiteral("overload; the readings are left out until it "
                                                 "ends"));
    m_lastLeftOut = kind;
    m_leftOut += kind != 0 ? 1 : 0;
    return kind != 0;
}

} // namespace cli
