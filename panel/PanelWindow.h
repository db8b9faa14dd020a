#pragma once

#include "files/RecordLine.h"
#include "link/MeterLink.h"
#include "panel/DisplayState.h"
#include "panel/MeasurementFrame.h"
#include "ui/PollControl.h"
#include "ui/Services.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QTimer;

namespace ui {
class ClickableLabel;
}
namespace files {
class PcRecorder;
}
namespace plot {
class PlotViewer;
class GraphWindow;
} // namespace plot
namespace logger {
class LoggerCommands;
}

namespace panel {

class ChromaPicture;
class MainToolbar;
class FrontPanel;
class ReadingsWindow;
class ReferencePictures;
class SetupPictures;

// The main window: an emulated front panel of the meter, refreshed by the live poll.
class PanelWindow : public QMainWindow, public ui::PollControl, public meterlink::LinkObserver
{
    Q_OBJECT
public:
    explicit PanelWindow(ui::Services& services, QWidget* parent = nullptr);
    ~PanelWindow() override;

    // ui::PollControl: the live poll `Timer1`.
    void setPolling(bool on) override;
    bool polling() const override;

    // meterlink::LinkObserver
    void meterSearched(bool found) override;
    void readFailed(const std::string& reason) override;

    // One tick of the live poll.
    void PollMeter();
    // A front-panel key: sends its key code with the poll paused.
    void sendKey(std::uint8_t code);

    int PCInterval = 1;
    bool RecordOn = false;
    bool MemoryBusy = false;

    ui::Services& services() { return m_services; }
    // Where the set-up pictures live: panels inside the window, shown and hidden by visibility.
    QWidget* pictureHost() const { return m_pictureHost; }
    // The toolbar `Toolbar1`; other windows register their commands on it.
    MainToolbar* toolbar() const { return m_toolbar; }

    // The last decoded reading (Ev in lx, no date or time); nullopt before the first frame.
    std::optional<files::Reading> latestReading() const;

    // The recording on the PC ("Save") and the plot viewer ("Open").
    files::PcRecorder& recorder() const { return *m_recorder; }
    plot::PlotViewer& plotViewer() const { return *m_plotViewer; }
    // The data-logger commands behind "Logger" and "Erase".
    logger::LoggerCommands& loggerCommands() const { return *m_logger; }
    // Opens a data file named without a dialog (the command line) as "Open" does.
    void openDataFile(const QString& path);

Q_SIGNALS:
    // After every frame that was read whole and decoded.
    void frameDecoded();
    // A tick that found no meter or lost it.
    void meterLost();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void LblConnect_Click();
    void wireFileCommands();
    // How far a long read of a data file has come, in the status bar.
    void showReadProgress(int percent);
    void wireMemoryAndClockCommands();

    ui::Services& m_services;
    QTimer* m_timer1;
    QLabel* m_lblCOM;
    QLabel* m_lblName;
    QFrame* m_picNoCom;
    ui::ClickableLabel* m_lblConnect;
    QWidget* m_pictureHost;
    FrontPanel* m_front;
    ReferencePictures* m_reference;
    ChromaPicture* m_picChroma;
    QChar m_decimalSeparator;
    std::optional<FrameFields> m_lastFrame;
    SetupPictures* m_setupPictures = nullptr;
    MainToolbar* m_toolbar = nullptr;
    files::PcRecorder* m_recorder = nullptr;
    std::unique_ptr<plot::PlotViewer> m_plotViewer;
    std::unique_ptr<plot::GraphWindow> m_graph; // made on first use
    QLabel* m_lblRec = nullptr;
    logger::LoggerCommands* m_logger = nullptr;
    ReadingsWindow* m_readings = nullptr;
};

} // namespace panel
