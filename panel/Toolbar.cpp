#include "panel/Toolbar.h"

#include "panel/ToolbarIcons.h"

#include <QAction>
#include <QToolButton>

namespace panel {

namespace {

constexpr int RecordingImage = 10;
const QString SaveKey = QStringLiteral("Save");
const QString SetupKey = QStringLiteral("Setup");

} // namespace

const std::vector<ToolbarButton>& ToolbarButtons()
{
    static const std::vector<ToolbarButton> buttons = {
        {QStringLiteral("Save"), QStringLiteral("Save"), 1},
        {QStringLiteral("Open"), QStringLiteral("Open"), 2},
        {QStringLiteral("Interval"), QStringLiteral("Interval"), 3},
        {QStringLiteral("List"), QStringLiteral("List"), 4},
        {QStringLiteral("Graph"), QStringLiteral("Graphic Display"), 5},
        {QStringLiteral("RTC"), QStringLiteral("Real Time Clock"), 6},
        {QStringLiteral("Logger"), QStringLiteral("Data Logger"), 7},
        {QStringLiteral("Setup"), QStringLiteral("Set up"), 8},
        {QStringLiteral("Erase"), QStringLiteral("Erase"), 9},
        {QStringLiteral("Chroma"), QStringLiteral("Chromaticity"), 10},
    };
    return buttons;
}

MainToolbar::MainToolbar(std::function<bool()> recordOn, QWidget* parent)
    : QToolBar(parent), m_recordOn(std::move(recordOn))
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setMovable(false);
    setIconSize(QSize(ToolbarIconSize, ToolbarIconSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const auto& b : ToolbarButtons()) {
        auto* action = addAction(ToolbarImage(b.image), b.key);
        action->setObjectName(b.key);
        action->setToolTip(b.toolTip);
        if (auto* widget = widgetForAction(action)) {
            widget->setObjectName(b.key);
            // The buttons carry only pictures: screen readers say what the tooltip says.
            widget->setAccessibleName(b.toolTip);
        }
        const QString key = b.key;
        connect(action, &QAction::triggered, this, [this, key] { click(key); });
        m_buttons.insert(b.key, action);
    }
}

void MainToolbar::setSetupMenu(QWidget* setupMenu)
{
    m_setupMenu = setupMenu;
}

void MainToolbar::setCommand(const QString& key, std::function<void()> command)
{
    m_commands.insert(key, std::move(command));
}

void MainToolbar::click(const QString& key)
{
    // While the meter records on its own, the program leaves it alone entirely.
    if (m_recordOn && m_recordOn())
        return;
    if (key != SetupKey && m_setupMenu)
        m_setupMenu->hide();
    const auto command = m_commands.value(key);
    if (command)
        command();
}

void MainToolbar::setRecordingLook(bool recording)
{
    QAction* save = button(SaveKey);
    if (!save)
        return;
    save->setIcon(ToolbarImage(recording ? RecordingImage : 1));
    const QString tip = recording ? QStringLiteral("Stop Recording") : QStringLiteral("Save As");
    save->setToolTip(tip);
    if (auto* widget = widgetForAction(save))
        widget->setAccessibleName(tip);
}

QAction* MainToolbar::button(const QString& key) const
{
    return m_buttons.value(key, nullptr);
}

} // namespace panel
