#include "panel/Toolbar.h"

#include "panel/ToolbarIcons.h"

#include <QAction>
#include <QToolButton>

namespace panel {

namespace {

constexpr int SaveImage = 1;
constexpr int RecordingImage = 10;

const char* const Records = "Record readings on this PC to a file";
const char* const StopsRecording = "Stop recording and save the file";

std::size_t indexOf(ToolbarKey key)
{
    return static_cast<std::size_t>(key);
}

// The button's own caption on the first line, what it does below, so that a picture alone does
// not leave the user guessing.
void Describe(QAction* action, QWidget* widget, const QString& toolTip, const QString& does)
{
    action->setToolTip(toolTip + QLatin1Char('\n') + does);
    action->setStatusTip(does);
    if (widget) {
        widget->setAccessibleName(toolTip);
        widget->setAccessibleDescription(does);
    }
}

} // namespace

const std::array<ToolbarButton, ToolbarKeyCount> ToolbarButtons{{
    {ToolbarKey::Save, "Save", "Save", Records, SaveImage},
    {ToolbarKey::Open, "Open", "Open", "Open a recording or data file and plot it", 2},
    {ToolbarKey::Interval, "Interval", "Interval",
     "Set the meter's sampling interval and the PC sampling time", 3},
    {ToolbarKey::List, "List", "List", "List the live readings in a table", 4},
    {ToolbarKey::Graph, "Graph", "Graphic Display",
     "Show the live reading on the chromaticity diagram", 5},
    {ToolbarKey::Rtc, "RTC", "Real Time Clock", "Read and set the meter's clock", 6},
    {ToolbarKey::Logger, "Logger", "Data Logger",
     "List, download and plot the data sets in the meter's memory", 7},
    {ToolbarKey::Setup, "Setup", "Set up",
     "Show or hide the meter's set-up menu (schedules, references)", 8},
    {ToolbarKey::Erase, "Erase", "Erase", "Erase every data set in the meter's memory", 9},
    {ToolbarKey::Chroma, "Chroma", "Chromaticity",
     "Test whether a chromaticity point lies inside four corners", 10},
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
        QWidget* widget = widgetForAction(action);
        if (widget)
            widget->setObjectName(name);
        // The buttons carry only pictures: screen readers say what the tooltip says.
        Describe(action, widget, toolTip, QLatin1String(b.does));
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
    Describe(save, widgetForAction(save),
             recording ? QStringLiteral("Stop Recording") : QStringLiteral("Save As"),
             QLatin1String(recording ? StopsRecording : Records));
}

QAction* MainToolbar::button(ToolbarKey key) const
{
    return m_buttons[indexOf(key)];
}

} // namespace panel
