#pragma once

#include "app/Program.h"
#include "files/PcRecorder.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "plot/PlotWindow.h"
#include "tests/support/PanelHarness.h"

#include <memory>

namespace testsupport {

// The whole program as the entry point builds it, over a (virtual) meter, with scripted
// dialogs, a fixed clock and a temporary folder for the fixed places.
template <typename Meter = virtualmeter::VirtualMeter> struct ProgramHarness
{
    // Started at once, or when the test calls start().
    explicit ProgramHarness(bool started = true)
    {
        if (started)
            start();
    }

    // Starts the program afresh; the one before, if any, is gone first.
    void start()
    {
        stop();
        program =
            std::make_unique<app::Program>(app::Environment{meter, dialogs, clock, root.paths});
        window = &program->panel();
    }
    void stop()
    {
        window = nullptr;
        program.reset();
    }

    // Every command the meter received as (byte 1, byte 2).
    std::vector<std::pair<int, int>> commands() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& w : meter.writes())
            out.emplace_back(w[1], w[2]);
        return out;
    }

    Meter meter;
    FakeDialogs dialogs;
    FakeClock clock;
    TempRoot root;
    std::unique_ptr<app::Program> program;
    panel::PanelWindow* window = nullptr;
};

} // namespace testsupport
