#pragma once

#include "clock/RtcWindow.h"
#include "tests/support/ProgramHarness.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hardening {

// The virtual meter, able to fail in the middle of a sequence: after a set number of commands
// it runs the fault the test chose. It also notes its open handles and the time-out of every
// read, so that a test can tell that no read was asked to wait longer than the link's own.
class FaultyMeter : public virtualmeter::VirtualMeter
{
public:
    int commandsSeen = 0;
    int faultAfter = -1; // commands before the fault; -1 = never
    std::function<void(FaultyMeter&)> fault;
    std::vector<int> readTimeouts;
    int openHandles = 0;

    // Every failure switch off and the meter plugged in.
    void heal();

    std::unique_ptr<meterlink::platform::HidHandle>
    openForWriting(const std::string& path) override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForReading(const std::string& path) override;

protected:
    void process(const virtualmeter::Report& command) override;
};

// The whole program as the entry point builds it, over the faulty meter, with every modal
// question answered by FakeDialogs.
struct Program : testsupport::ProgramHarness<FaultyMeter>
{
    QString labelText(const char* name) const;
    // Polls until the meter answers (at most `ticks` polls); true when it did.
    bool pollUntilConnected(int ticks = 4);
    bool connected() const { return program->link().connected(); }
    logger::LoggerCommands& logger() { return program->logger(); }
    // Opens the clock window from the toolbar and runs `steps` on it while it is modal.
    void withClock(const std::function<void(meterclock::RtcWindow&)>& steps);
};

} // namespace hardening
