#pragma once

#include "files/SharedData.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

namespace ui {

// What the program's windows share for the whole run; made by the program (or a test). The
// meter is reached through the meter sequences, never from here.
struct Services
{
    Dialogs& dialogs;
    const Clock& clock;
    const FixedPaths& paths;
    files::PlotData& plot;
    files::FileState& fileState;
    // The main window's file dialog `Cmd`: the open command starts from its name.
    FileDialogState& cmd;
};

} // namespace ui
