#pragma once

#include <QPointer>
#include <QToolBar>
#include <array>
#include <functional>

class QAction;
class QWidget;

namespace panel {

// The buttons of the main toolbar, left to right.
enum class ToolbarKey
{
    Save,
    Open,
    Interval,
    List,
    Graph,
    Rtc,
    Logger,
    Setup,
    Erase,
    Chroma,
};
inline constexpr std::size_t ToolbarKeyCount = 10;

// One button of the main toolbar: its object name, tooltip, what it does (the tooltip's second
// line and the status tip) and image (1-based, as the image list counts).
struct ToolbarButton
{
    ToolbarKey key;
    const char* name;
    const char* toolTip;
    const char* does;
    int image;
};

extern const std::array<ToolbarButton, ToolbarKeyCount> ToolbarButtons;

// The main window's toolbar `Toolbar1`: ten image buttons without captions, one dispatch.
class MainToolbar : public QToolBar
{
    Q_OBJECT
public:
    // recordOn tells whether the meter reports that it records; while it does, clicks do nothing.
    explicit MainToolbar(std::function<bool()> recordOn, QWidget* parent = nullptr);

    // The set-up menu `PicSetup`, which every click but Setup closes.
    void setSetupMenu(QWidget* setupMenu);
    // Registers what a button does.
    void setCommand(ToolbarKey key, std::function<void()> command);
    // The click dispatch: ignored while RecordOn; any key but Setup hides the set-up menu; then
    // the key's command.
    void click(ToolbarKey key);
    // Button 1 while a recording on the PC runs: the recording image and "Stop Recording";
    // after it stopped: the save image and "Save As".
    void setRecordingLook(bool recording);
    QAction* button(ToolbarKey key) const;

private:
    std::function<bool()> m_recordOn;
    QPointer<QWidget> m_setupMenu;
    std::array<QAction*, ToolbarKeyCount> m_buttons{};
    std::array<std::function<void()>, ToolbarKeyCount> m_commands;
};

} // namespace panel
