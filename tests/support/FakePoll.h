#pragma once

#include "ui/PollControl.h"

#include <vector>

namespace testsupport {

// The main window's poll as the other windows see it: remembers every switch.
class FakePoll : public ui::PollControl
{
public:
    void setPolling(bool on) override
    {
        m_on = on;
        calls.push_back(on);
    }
    bool polling() const override { return m_on; }

    std::vector<bool> calls;

private:
    bool m_on = true;
};

} // namespace testsupport
