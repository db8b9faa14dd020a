#pragma once

#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "ui/PollControl.h"
#include "virtualmeter/VirtualMeter.h"

#include <cstdint>
#include <map>
#include <vector>

namespace setuptest {

// The main window's poll as the set-up sequences see it: remembers every switch.
class FakePoll : public ui::PollControl
{
public:
    void setPolling(bool on) override
    {
        m_on = on;
        switches.push_back(on);
    }
    bool polling() const override { return m_on; }

    std::vector<bool> switches;

private:
    bool m_on = true;
};

// A virtual meter whose answers to chosen sub-commands are set by the test, so that the
// expected texts do not depend on the meter's own state.
class ScriptedMeter : public virtualmeter::VirtualMeter
{
public:
    std::map<std::uint8_t, virtualmeter::Report> answers;

    // Sub-codes (byte 2) of the command reports received, in order.
    std::vector<int> codes() const
    {
        std::vector<int> result;
        for (const auto& w : writes())
            result.push_back(w.size() > 2 ? w[2] : -1);
        return result;
    }

protected:
    void process(const virtualmeter::Report& command) override
    {
        const auto answer = answers.find(command[2]);
        if (command[1] == meterlink::meter::Command && answer != answers.end()) {
            send(answer->second);
            return;
        }
        VirtualMeter::process(command);
    }
};

// An answer report with the given data bytes from index 1.
inline virtualmeter::Report answerWith(std::initializer_list<int> bytes)
{
    virtualmeter::Report report{};
    std::size_t i = 1;
    for (const int b : bytes)
        report[i++] = static_cast<std::uint8_t>(b);
    return report;
}

} // namespace setuptest
