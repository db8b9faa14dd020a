#pragma once

#include "cli/Session.h"
#include "link/MeasurementFrame.h"

#include <optional>

namespace cli {

// The live poll of a long run: a meter that goes away is said once and waited for, and said
// again when it answers. The run ends when no meter was there at its first poll, or when a
// meter that is there leaves several polls in a row unanswered.
class LivePoll
{
public:
    // Polls of a present meter that may go unanswered in a row before the run gives up.
    static constexpr int MaxUnanswered = 3;

    LivePoll(Session& session, MeterAccess& access) : m_session(session), m_access(access) {}

    // One poll: the meter's frame, or nothing while it is away. `exitCode` is set when the run
    // must end.
    std::optional<meterlink::FrameFields> next(std::optional<int>& exitCode);
    // The frames of the set-up menu and the overloads, left out of the readings.
    long long leftOut() const { return m_leftOut; }
    // Whether `fields` is left out of the readings; said on standard error where a run of them
    // begins.
    bool leaveOut(const meterlink::FrameFields& fields);

private:
    Session& m_session;
    MeterAccess& m_access;
    bool m_answered = false;
    bool m_away = false;
    int m_unanswered = 0;
    long long m_leftOut = 0;
    int m_lastLeftOut = 0; // 0 none, 1 set-up menu, 2 overload
};

} // namespace cli
