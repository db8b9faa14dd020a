#include "panel/Toolbar.h"

#include "panel/ToolbarIcons.h"

#include <QAction>
#include <QToolButton>

namespace panel {

namespace {

constexpr int SaveImage = 1;
constexpr int RecordingImage = 10;

std::size_t indexOf(ToolbarKey key)
{
    return static_cast<std::size_t>(key);
}

} // namespace

const std::array<ToolbarButton, ToolbarKeyCount> ToolbarButtons{{
    {ToolbarKey::Save, "Save", "Save", SaveImage},
    {ToolbarKey::Open, "Open", "Open", 2},
    {ToolbarKey::Interval, "Interval", "Interval", 3},
    {ToolbarKey::List, "List", "List", 4},
    {ToolbarKey::Graph, "Graph", "Graphic Display", 5},
    {ToolbarKey::Rtc, "RTC", "Real Time Clock", 6},
    {ToolbarKey::Logger, "Logger", "Data Logger", 7},
    {ToolbarKey::Setup, "Setup", "Set up", 8},
    {ToolbarKey::Erase, "Erase", "Erase", 9},
    {ToolbarKey::Chroma, "Chroma", "Chromaticity", 10},
}};

MainToolbar::MainToolbar(std::function<bool()> recordOn, QWidget* parent)
    : QToolBar(parent), m_recordOn(std::move(recordOn))
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setMovable(false);
    setIconSize(QSize(ToolbarIconSize, ToolbarIconSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolbarButton& b : ToolbarButtons) {
        const QString name = QLatin1String(b.name);
        const QString toolTip = QLatin1String(b.toolTip);
        auto* action = addAction(ToolbarImage(b.image), name);
        action->setObjectName(name);
        action->setToolTip(toolTip);
        if (auto* widget = widgetForAction(action)) {
            widget->setObjectName(name);
            // The buttons carry only pictures: screen readers say what the tooltip says.
            widget->setAccessibleName(toolTip);
        }
        const ToolbarKey key = b.key;
        connect(action, &QAction::triggered, this, [this, key] { click(key); });
        m_buttons[indexOf(b.key)] = action;
    }
}

void MainToolbar::setSetupMenu(QWidget* setupMenu)
{
    m_setupMenu = setupMenu;
}

void MainToolbar::setCommand(ToolbarKey key, std::function<void()> command)
{
    m_commands[indexOf(key)] = std::move(command);
}

void MainToolbar::click(ToolbarKey key)
{
    // While the meter records on its own, the program leaves it alone entirely.
    if (m_recordOn && m_recordOn())
        return;
    if (key != ToolbarKey::Setup && m_setupMenu)
        m_setupMenu->hide();
    // A copy: the command may register another one in its place.
    if (const auto command = m_commands[indexOf(key)])
        command();
}

void MainToolbar::setRecordingLook(bool recording)
{
    QAction* save = button(ToolbarKey::Save);
    save->setIcon(ToolbarImage(recording ? RecordingImage : SaveImage));
    const QString tip = recording ? QStringLiteral("Stop Recording") : QStringLiteral("Save As");
    save->setToolTip(tip);
    if (auto* widget = widgetForAction(save))
        widget->setAccessibleName(tip);
}

QAction* MainToolbar::button(ToolbarKey key) const
{
    return m_buttons[indexOf(key)];
}

} // namespace panel
