#pragma once

#include "clock/RtcWindow.h"
#include "link/MeterLink.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TempRoot.h"
#include "virtualmeter/VirtualMeter.h"

#include <QLabel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hardening {

// The virtual meter, able to fail in the middle of a sequence: after a set number of commands
// it runs the fault the test chose.
class FaultyMeter : public virtualmeter::VirtualMeter
{
public:
    int commandsSeen = 0;
    int faultAfter = -1; // commands before the fault; -1 = never
    std::function<void(FaultyMeter&)> fault;

    // Every failure switch off and the meter plugged in.
    void heal();

protected:
    void process(const virtualmeter::Report& command) override;
};

// Stands between the link and the meter and notes the time-out of every read, so that a test
// can tell that no read was asked to wait longer than the link's own time-out.
class WatchedPlatform : public meterlink::platform::HidPlatform
{
public:
    explicit WatchedPlatform(meterlink::platform::HidPlatform& inner) : m_inner(inner) {}

    std::vector<int> readTimeouts;
    int openHandles = 0;

    std::vector<meterlink::platform::HidInterface> interfaces() override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForWriting(const std::string& path) override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForReading(const std::string& path) override;

private:
    std::unique_ptr<meterlink::platform::HidHandle>
    watch(std::unique_ptr<meterlink::platform::HidHandle> handle);

    meterlink::platform::HidPlatform& m_inner;
};

// The whole program as the entry point builds it, over the faulty meter, with every modal
// question answered by FakeDialogs.
struct Program
{
    Program();
    ~Program();

    QString labelText(const char* name) const;
    // Polls until the meter answers (at most `ticks` polls); true when it did.
    bool pollUntilConnected(int ticks = 4);

    FaultyMeter meter;
    WatchedPlatform platform{meter};
    meterlink::MeterLink link{platform};
    testsupport::FakeDialogs dialogs;
    testsupport::FakeClock clock;
    testsupport::TempRoot root;
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, root.paths, plot, fileState, cmd};
    std::unique_ptr<panel::PanelWindow> window;
    std::unique_ptr<logger::LoggerCommands> logger;
};

// Files in the program's folder that a writer left behind half-done: temporary names of
// atomic saves.
QStringList LeftoverTemporaries(const QString& folder);

// Whether a text file ends with a complete line (or is empty).
bool EndsWithCompleteLine(const QString& path);

} // namespace hardening
