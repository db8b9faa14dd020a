#pragma once

#include "ui/Clock.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

namespace ui {

// What the program's windows share for the whole run; made by the program (or a test). The
// meter is reached through the meter sequences, the opened data through its document, never
// from here.
struct Services
{
    Dialogs& dialogs;
    const Clock& clock;
    const FixedPaths& paths;
};

} // namespace ui
