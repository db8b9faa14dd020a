#pragma once

#include "files/PcRecorder.h"
#include "files/PlotDocument.h"
#include "link/MeterLink.h"
#include "link/MeterSequence.h"
#include "link/platform/HidPlatform.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"
#include "ui/Services.h"

#include <memory>
#include <optional>

class QString;

namespace files {
class PcRecorder;
} // namespace files
namespace logger {
class LoggerCommands;
}
namespace panel {
class PanelWindow;
class ReadingsWindow;
} // namespace panel
namespace plot {
class GraphWindow;
class PlotViewer;
} // namespace plot

namespace app {

// What the program runs against: the HID services (the meter's USB binding, or the virtual
// meter), the modal dialogs, the clock and the program's fixed places.
struct Environment
{
    meterlink::platform::HidPlatform& platform;
    ui::Dialogs& dialogs;
    const ui::Clock& clock;
    const ui::FixedPaths& paths;
};

// The HID services of the meter on USB, or the virtual meter when `demo` is set.
std::unique_ptr<meterlink::platform::HidPlatform> OpenPlatform(bool demo);

// The program's version as the user sees it.
QString ProgramVersion();
// What Help > About says: version, licence, and the versions of Qt and of the HID library.
QString AboutText();
// The manual: the user's sections of the README (`readme`), without those on building,
// testing and the layout of the source.
QString ManualText(const QString& readme);

// The program: builds the link, the meter sequences, the shared data, the main window and the
// services behind its toolbar, and connects them. A window of its own gets here what it needs:
// a command on the toolbar (PanelWindow::toolbar) and, to follow the meter, the frame signal
// (PanelWindow::frameDecoded).
class Program
{
public:
    explicit Program(const Environment& environment);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    panel::PanelWindow& panel() { return *m_panel; }
    files::PcRecorder& recorder() { return *m_recorder; }
    logger::LoggerCommands& logger() { return *m_logger; }
    plot::PlotViewer& plotViewer() { return *m_plotViewer; }
    const meterlink::MeterLink& link() const { return m_link; }
    // The opened data file or set, as the plot shows it.
    files::PlotDocument& document() { return m_document; }

    // Opens a data file named without a dialog (on the command line) as "Open" opens one.
    void openDataFile(const QString& path);

private:
    // What the user left as it was last time: the main window's place, the PC sampling time,
    // the meter, the folder of the open dialog.
    void restoreSettings();
    void rememberSettings();
    void wireMenus();
    void showManual();
    void forgetSettings();
    void prepareStartupFile();
    void wireRecording();
    void wireFileCommands();
    void wireMeterCommands();
    void wireLiveWindows();
    void showPlot();
    void showReadProgress(int percent);
    // `CmdChooseMeter`: the meters plugged in, by path and serial number, to pick one from.
    void chooseMeter();

    Environment m_environment;
    meterlink::MeterLink m_link;
    meterlink::SequenceRunner m_runner;
    files::PlotDocument m_document;
    ui::FileDialogState m_cmd; // the main window's file dialog `Cmd`
    ui::Services m_services;
    std::unique_ptr<panel::PanelWindow> m_panel;
    std::unique_ptr<files::PcRecorder> m_recorder;
    std::unique_ptr<plot::PlotViewer> m_plotViewer;
    std::unique_ptr<logger::LoggerCommands> m_logger;
    // "List" and "Graph", made on first use; they belong to the main window.
    panel::ReadingsWindow* m_readings = nullptr;
    std::unique_ptr<plot::GraphWindow> m_graph;
    // What the frames since the recorder's last sample give its next one: the newest frame's
    // reading, or that the meter marked it as not valid; nothing when no frame came.
    files::LiveSample m_nextSample;
};

} // namespace app
