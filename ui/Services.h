#pragma once

#include "files/SharedData.h"
#include "link/MeterLink.h"
#include "link/MeterSequence.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

namespace ui {

// What the program's windows share for the whole run; owned by the entry point (or a test).
struct Services
{
    meterlink::MeterLink& link;
    // Every meter sequence goes through here.
    meterlink::SequenceRunner& runner;
    Dialogs& dialogs;
    const Clock& clock;
    const FixedPaths& paths;
    files::PlotData& plot;
    files::FileState& fileState;
    // The main window's file dialog `Cmd`: the open command starts from its name.
    FileDialogState& cmd;
};

} // namespace ui
