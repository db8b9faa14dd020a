#pragma once

#include "link/MeterSequence.h"

#include <vector>

namespace testsupport {

// The main window's live poll as the meter sequences see it: remembers every switch.
class FakePoll : public meterlink::PollGate
{
public:
    void pausePoll() override { switchTo(false); }
    void resumePoll() override { switchTo(true); }
    bool polling() const { return m_on; }

    std::vector<bool> calls; // false for a pause, true for a resume

private:
    void switchTo(bool on)
    {
        m_on = on;
        calls.push_back(on);
    }
    bool m_on = true;
};

} // namespace testsupport
