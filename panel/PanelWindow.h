#pragma once

#include "link/MeterLink.h"
#include "ui/PollControl.h"
#include "ui/Services.h"

#include <QMainWindow>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QTimer;

namespace ui {
class ClickableLabel;
}

namespace panel {

using Frame = std::array<std::uint8_t, 128>; // frame bytes 1..128 at index 0..127

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

    int PCInterval = 1;
    bool RecordOn = false;
    bool MemoryBusy = false;

    ui::Services& services() { return m_services; }
    // Where the set-up pictures live: panels inside the window, shown and hidden by visibility.
    QWidget* pictureHost() const { return m_pictureHost; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void LblConnect_Click();

    ui::Services& m_services;
    QTimer* m_timer1;
    QLabel* m_lblCOM;
    QLabel* m_lblName;
    QFrame* m_picNoCom;
    ui::ClickableLabel* m_lblConnect;
    QWidget* m_pictureHost;
};

} // namespace panel
