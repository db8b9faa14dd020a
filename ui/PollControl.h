#pragma once

namespace ui {

// The main window's live poll (`Timer1`, 300 ms). Switching it on restarts its interval.
class PollControl
{
public:
    virtual ~PollControl() = default;
    virtual void setPolling(bool on) = 0;
    virtual bool polling() const = 0;
};

} // namespace ui
