#pragma once

#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "tests/support/PanelHarness.h"

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
struct Program : testsupport::Harness<FaultyMeter>
{
    Program();

    QString labelText(const char* name) const;
    // Polls until the meter answers (at most `ticks` polls); true when it did.
    bool pollUntilConnected(int ticks = 4);

    // Declared in this order so that the logger (a child of the window) goes first.
    std::unique_ptr<panel::PanelWindow> window;
    std::unique_ptr<logger::LoggerCommands> logger;
};

} // namespace hardening
