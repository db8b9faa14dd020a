#pragma once

#include "link/MeasurementFrame.h"
#include "link/MeterLink.h"
#include "link/MeterSequence.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QTimer;

namespace ui {
class ClickableLabel;
class Dialogs;
} // namespace ui

namespace panel {

class ChromaPicture;
class MainToolbar;
class FrontPanel;
class ReadingsWindow;
class ReferencePictures;
class SetupPictures;

// The main window `Panel`: an emulated front panel of the meter, refreshed by the live poll,
// with its keys, its set-up pictures and the toolbar. Its timer `Timer1` is the live poll that
// the meter sequences pause. What the toolbar's other commands do is registered from outside.
// The entries of the menu bar that are not toolbar buttons; what they do is registered from
// outside, as the toolbar's commands are.
enum class MenuCommand
{
    ExportCsv,
    ExportPicture,
    ForgetSettings,
    ViewPlot,
    Manual,
    About,
};
inline constexpr std::size_t MenuCommandCount = 6;

class PanelWindow : public QMainWindow, public meterlink::PollGate, public meterlink::LinkObserver
{
    Q_OBJECT
public:
    PanelWindow(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~PanelWindow() override;

    // meterlink::PollGate
    void pausePoll() override;
    void resumePoll() override;

    // meterlink::LinkObserver: the connection labels.
    void meterSearched(bool found) override;
    void readFailed(const std::string& reason) override;
    void accessDenied(bool denied) override;

    // One tick of the live poll.
    void pollMeter();
    // A front-panel key: sends its key code with the poll paused.
    void sendKey(std::uint8_t code);

    // The meter reported "R" in the last frame: the toolbar ignores every click.
    bool recordOn() const { return m_recordOn; }
    // The PC sampling time in seconds, as set in `PicIntv`.
    int pcInterval() const;
    void setPcInterval(int seconds);

    // The toolbar `Toolbar1`; the commands beyond the panel's own pictures are registered on it.
    MainToolbar* toolbar() const { return m_toolbar; }
    // Registers what a menu entry of its own does. Entries for toolbar buttons click them.
    void setMenuCommand(MenuCommand command, std::function<void()> run);
    QAction* menuAction(MenuCommand command) const;
    // Button 1 and the "Rec." indicator while a recording on the PC runs, or after it stopped.
    void showRecording(bool on);
    // The status line while a recording runs: the file it goes to and the records so far.
    void showRecordingProgress(const QString& target, long long records);
    // The status line after a recording stopped and was saved.
    void showRecordingSaved(const QString& target, long long records);
    // How many samples of the recording on the PC wrote no record because the meter marked its
    // frame invalid; nothing shown for none.
    void showSamplesLeftOut(long long count);
    // How far a long read of the data file `title` has come, in the status bar.
    void showReadProgress(const QString& title, int percent);
    // Asked before the window closes; false keeps it open.
    void setCloseCheck(std::function<bool()> mayClose) { m_mayClose = std::move(mayClose); }

Q_SIGNALS:
    // After every frame that was read whole and decoded.
    void frameDecoded(const meterlink::FrameFields& fields);
    // A tick that found no meter or lost it.
    void meterLost();
    // `CmdChooseMeter`: the user wants to pick the meter among those plugged in.
    void chooseMeterClicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void toggleVersionCaption();
    void buildMenus();

    meterlink::SequenceRunner& m_runner;
    QTimer* m_pollTimer; // `Timer1`
    QLabel* m_lblCOM;
    QLabel* m_lblName;
    QLabel* m_lblPermission;
    QFrame* m_picNoCom;
    ui::ClickableLabel* m_lblConnect;
    QWidget* m_pictureHost;
    FrontPanel* m_front;
    ReferencePictures* m_reference;
    ChromaPicture* m_picChroma;
    SetupPictures* m_setupPictures;
    MainToolbar* m_toolbar;
    QLabel* m_lblRec;
    QLabel* m_lblLeftOut;
    QLabel* m_lblRecording;
    QAction* m_mnuRecord = nullptr;
    std::array<QAction*, MenuCommandCount> m_menuActions{};
    std::array<std::function<void()>, MenuCommandCount> m_menuCommands;
    QChar m_decimalSeparator;
    bool m_recordOn = false;
    bool m_memoryBusy = false;
    std::function<bool()> m_mayClose;
    std::optional<meterlink::PollHold> m_closingHold;
};

} // namespace panel
