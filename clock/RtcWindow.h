#pragma once

#include "link/MeterSequence.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"

#include <QDialog>
#include <optional>

class QPushButton;
class QTimer;

namespace ui {
class ClickableLabel;
}

namespace meterclock {

// The meter clock window `RTC`: the meter's and the PC's clock side by side, and one button
// that sets the meter's clock to the PC's. Runs modal through ui::Dialogs.
class RtcWindow : public QDialog, public ui::ModalWindow
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 350;

    RtcWindow(meterlink::SequenceRunner& runner, const ui::Clock& clock, QWidget* mainWindow);

    int runModal() override { return exec(); }

    // As the window opens: its place, both titles, and the refresh running.
    void prepare();
    // As it closes: the refresh stopped, what the meter may still send drained, and the live
    // poll resumed.
    void finish();
    // A click on `LblMeterTime` or `LblPCTime`: the time instead of the title, or back.
    void toggleMeterTime();
    void togglePcTime();
    // One refresh of both labels (`Timer1`).
    void refreshClocks();
    // `CmdSetTime`: the meter's clock to the PC's.
    void setMeterTime();

private:
    bool m_showMeterTime = false;
    bool m_showPcTime = false;
    meterlink::SequenceRunner& m_runner;
    const ui::Clock& m_clock;
    // The live poll stays paused from the first read of the meter's clock until the window
    // closes.
    std::optional<meterlink::PollHold> m_pollHold;
    QWidget* m_mainWindow;
    QTimer* m_refreshTimer; // `Timer1`
    ui::ClickableLabel* m_lblMeterTime;
    ui::ClickableLabel* m_lblPCTime;
    QPushButton* m_cmdSetTime;
    QPushButton* m_cmdExit;
};

// The toolbar's "RTC" command: opens a fresh clock window modal and waits until it closes.
void ShowRtc(meterlink::SequenceRunner& runner, const ui::Clock& clock, ui::Dialogs& dialogs,
             QWidget* mainWindow);

} // namespace meterclock
