#pragma once

#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "files/PlotDocument.h"
#include "ui/Dialogs.h"

#include <functional>

namespace files {

// The filter list of the open dialog.
QString OpenDialogFilter();

// The "Save" command: when idle, asks for the target with ShowRecordingDialog on `cmd` and
// starts a recording into it with the interval `pcInterval`; when recording, stops and saves it.
// The folder of a target is kept for the next run's dialog.
void SaveCommand(PcRecorder& recorder, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                 long long pcInterval);

// The "Open" command: asks for a data file with `cmd` (starting from the name it holds), reads
// it (telling `progress` how a long read goes) and opens it in `document` under its title, then
// calls `showPlot`. A cancelled dialog ends it silently; a file the reader cannot take is
// reported in one message naming the file and the reason. Either way `document` stays as it was
// and the plot is not shown. True when a file was read.
bool OpenCommand(ui::Dialogs& dialogs, ui::FileDialogState& cmd, PlotDocument& document,
                 const std::function<void()>& showPlot, const ReadProgress& progress = {});

// Opens a data file named without a dialog (on the command line) the way "Open" does after its
// dialog; `cmd` then holds its name, so the next "Open" starts there. True when it was read.
bool OpenDataFile(const QString& path, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                  PlotDocument& document, const std::function<void()>& showPlot,
                  const ReadProgress& progress = {});

} // namespace files
