#pragma once

#include "link/platform/HidPlatform.h"
#include "ui/Clock.h"
#include "ui/FixedPaths.h"

#include <QStringList>
#include <functional>
#include <iosfwd>

// The command-line client: the meter's live readings, recordings, stored sets and clock from a
// terminal or a script, over the same link, files and logger code as the window program.
namespace cli {

// What scripts see.
enum Exit : int
{
    Done = 0,
    Usage = 1,
    NoMeter = 2,     // none plugged in, or held by another program of ours
    FileFailed = 3,  // a file could not be read or written
    MeterSilent = 4, // the meter stopped answering
};

// Paces the polls of a run and learns that the run is to end.
class Pacer
{
public:
    virtual ~Pacer() = default;
    // Waits `ms` milliseconds (none for 0 or less); false when the run was asked to end before
    // or meanwhile, at once.
    virtual bool wait(long long ms) = 0;
    // Milliseconds since the pacer was made, on a clock that never goes back.
    virtual long long elapsedMs() const = 0;
    virtual bool stopRequested() const = 0;
};

// Ctrl-C (SIGINT) and SIGTERM end a wait at once, and every later one. One per process.
class SignalPacer : public Pacer
{
public:
    SignalPacer();
    ~SignalPacer() override;
    SignalPacer(const SignalPacer&) = delete;
    SignalPacer& operator=(const SignalPacer&) = delete;

    bool wait(long long ms) override;
    long long elapsedMs() const override;
    bool stopRequested() const override;

private:
    long long m_start;
};

// What a run of the client works with.
struct Environment
{
    // The meter's USB binding, or the virtual meter with `demo`.
    std::function<meterlink::platform::HidPlatform&(bool demo)> platform;
    const ui::Clock& clock;
    const ui::FixedPaths& paths;
    Pacer& pacer;
    std::ostream& out;
    std::ostream& err;
    // A person can be asked (erase's question); otherwise --yes must answer it.
    bool interactive = false;
    std::istream* in = nullptr;
};

// Parses the arguments (the program's name first) and runs the command; the exit code.
int Run(const QStringList& arguments, Environment& environment);

} // namespace cli
