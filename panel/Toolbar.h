#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QToolBar>
#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace panel {

// One button of the main toolbar: its key, tooltip and image (1-based, as the image list counts).
struct ToolbarButton
{
    QString key;
    QString toolTip;
    int image;
};

// The ten buttons, left to right.
const std::vector<ToolbarButton>& ToolbarButtons();

// The main window's toolbar `Toolbar1`: ten image buttons without captions, one dispatch.
class MainToolbar : public QToolBar
{
    Q_OBJECT
public:
    // recordOn tells whether the meter reports that it records; while it does, clicks do nothing.
    explicit MainToolbar(std::function<bool()> recordOn, QWidget* parent = nullptr);

    // The set-up menu `PicSetup`, which every click but "Setup" closes.
    void setSetupMenu(QWidget* setupMenu);
    // Registers the command of a button key ("Save", "Open", "RTC", "Logger", "Erase" ...).
    void setCommand(const QString& key, std::function<void()> command);
    // The click dispatch: ignored while RecordOn; any key but "Setup" hides PicSetup; then
    // the key's command.
    void click(const QString& key);
    // Button 1 while a recording on the PC runs: the recording image and "Stop Recording";
    // after it stopped: the save image and "Save As".
    void setRecordingLook(bool recording);
    QAction* button(const QString& key) const;

private:
    std::function<bool()> m_recordOn;
    QPointer<QWidget> m_setupMenu;
    QHash<QString, QAction*> m_buttons;
    QHash<QString, std::function<void()>> m_commands;
};

} // namespace panel
