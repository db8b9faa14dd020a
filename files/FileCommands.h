#pragma once

#include "files/DataFileReader.h"
#include "files/PcRecorder.h"
#include "files/SharedData.h"
#include "ui/Dialogs.h"

#include <functional>

namespace files {

// The filter list of the open dialog.
QString OpenDialogFilter();

// The "Save" command: when idle, asks for the target with ShowSaveDialog on `cmd` and starts a
// recording into it with the interval `pcInterval`; when recording, stops and saves it.
// FileChosen is false again once the target has been written or the start has failed.
void SaveCommand(PcRecorder& recorder, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                 FileState& state, long long pcInterval);

// The "Open" command: asks for a data file with `cmd` (starting from the name it holds), reads
// it into `plot` (telling `progress` how a long read goes), takes its title into
// CurrentFileName and calls `showPlot`. A cancelled dialog ends it silently; a file the reader
// cannot take is reported in one message naming the file and the reason. Either way `plot` and
// CurrentFileName stay as they were and the plot is not shown. `resumePoll` switches the live poll
// on at the end, in every case.
void OpenCommand(ui::Dialogs& dialogs, ui::FileDialogState& cmd, FileState& state, PlotData& plot,
                 const std::function<void()>& resumePoll, const std::function<void()>& showPlot,
                 const ReadProgress& progress = {});

// Opens a data file named without a dialog (on the command line) the way "Open" does after its
// dialog; `cmd` then holds its name, so the next "Open" starts there. True when it was read.
bool OpenDataFile(const QString& path, ui::Dialogs& dialogs, ui::FileDialogState& cmd,
                  FileState& state, PlotData& plot, const std::function<void()>& resumePoll,
                  const std::function<void()>& showPlot, const ReadProgress& progress = {});

} // namespace files
