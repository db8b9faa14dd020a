#include "plot/PlotWindow.h"

#include "plot/PlotCanvas.h"
#include "plot/RangePanel.h"
#include "plot/RegionPanel.h"
#include "plot/StatisticsPanel.h"
#include "ui/WindowPlace.h"

#include <QAction>
#include <QCloseEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <optional>

namespace plot {

namespace {

const ui::Clock& clockOr(const ui::Clock* clock)
{
    static const ui::SystemClock system;
    return clock != nullptr ? *clock : system;
}

const QString PlotName = QStringLiteral("Plot");
} // namespace

PlotWindow::PlotWindow(ui::Dialogs& dialogs, files::PlotDocument& document, QWidget* mainWindow,
                       PlotSettings& settings, const ui::Clock* clock)
    : QWidget(nullptr), m_document(document), m_settings(settings),
      m_canvas(new PlotCanvas(document, this)), m_toolbar(new QToolBar(this)),
      m_rangePanel(new RangePanel(dialogs, document, this)),
      m_regionPanel(new RegionPanel(dialogs, this)), m_statisticsPanel(new StatisticsPanel(this)),
      m_exports(dialogs, document, *m_canvas, clockOr(clock))
{
    setObjectName(QStringLiteral("Plot"));
    setMinimumSize(420, 360);
    // 650 leaves room right of the frame for the last horizontal label.
    resize(650, 660);
    buildToolbar();
    m_rangePanel->hide();
    m_regionPanel->hide();

    m_canvas->setRegionSource([this]() -> std::optional<RegionRows> {
        if (!m_settings.RegionsOn)
            return std::nullopt;
        return m_regionPanel->rows();
    });
    connect(m_canvas, &PlotCanvas::progressCaption, this, &QWidget::setWindowTitle);
    connect(m_canvas, &PlotCanvas::regionsDrawn, m_regionPanel, &QWidget::hide);
    connect(m_canvas, &PlotCanvas::statisticsTaken, this, [this](const RangeStatistics& result) {
        m_statisticsPanel->showStatistics(result);
        placePanels();
    });
    connect(m_canvas, &PlotCanvas::drawn, this, &PlotWindow::drawingComplete);
    connect(m_rangePanel, &RangePanel::rangeChosen, this, &PlotWindow::applyRange);
    connect(m_regionPanel, &RegionPanel::okClicked, this, &PlotWindow::showRegions);
    connect(m_regionPanel, &RegionPanel::exitClicked, this, &PlotWindow::hideRegions);
    connect(&document, &files::PlotDocument::recordsReplaced, this, &PlotWindow::showNewRecords);

    // Placed beside the main window, with the default range.
    if (mainWindow != nullptr) {
        const QRect main = mainWindow->frameGeometry();
        ui::PlaceRemembered(*this, PlotName, QPoint(main.x() + main.width(), main.y()),
                            *mainWindow);
    }
    m_regionPanel->restoreRows(PlotName);
    setWindowTitle(QStringLiteral("Plot File"));
}

PlotWindow::~PlotWindow()
{
    // A window still open when the program ends is kept as it is.
    if (isVisible())
        rememberSettings();
}

void PlotWindow::rememberSettings() const
{
    m_regionPanel->rememberRows(PlotName);
    ui::RememberPlace(*this, PlotName);
}

void PlotWindow::buildToolbar()
{
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Button
    {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
        const char* caption;                // a text button when set, else an icon
        std::optional<PlotCommand> command; // none: the statistics' switch
    };
    const Button buttons[] = {
        {"Unit", "User Define", QStyle::SP_FileDialogDetailedView, nullptr, PlotCommand::Regions},
        {"Resize", "Plot Range", QStyle::SP_TitleBarMaxButton, nullptr, PlotCommand::Range},
        {"Print", "Print", QStyle::SP_DialogSaveButton, nullptr, PlotCommand::Print},
        {"Stats", "Show or hide the statistics of the plotted records", {}, "Statistics", {}},
        {"ExportCsv",
         "Export every record of the opened file (not only the plotted range) as CSV",
         {},
         "Export CSV\u2026",
         PlotCommand::ExportCsv},
        {"ExportPicture",
         "Save the plot as a PNG or SVG picture",
         {},
         "Export Picture\u2026",
         PlotCommand::ExportPicture},
        {"Report",
         "A one-page report of the plotted records as PDF, SVG or PNG",
         {},
         "Report\u2026",
         PlotCommand::Report}};
    for (const Button& b : buttons) {
        const QString tip = QString::fromLatin1(b.tip);
        QAction* action = b.caption != nullptr
                              ? m_toolbar->addAction(QString::fromUtf8(b.caption))
                              : m_toolbar->addAction(style()->standardIcon(b.icon), tip);
        action->setObjectName(QString::fromLatin1(b.key));
        action->setToolTip(tip);
        if (auto* button = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(action))) {
            button->setObjectName(action->objectName());
            if (b.caption != nullptr)
                button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            else
                button->setAccessibleName(tip);
        }
        if (b.command) {
            connect(action, &QAction::triggered, this,
                    [this, command = *b.command] { run(command); });
        } else {
            action->setCheckable(true);
            action->setChecked(true);
            connect(action, &QAction::toggled, m_statisticsPanel, &QWidget::setVisible);
        }
    }
    m_toolbar->adjustSize();
}

void PlotWindow::placePanels()
{
    m_canvas->setGeometry(rect());
    m_toolbar->setGeometry(0, 0, width(), m_toolbar->sizeHint().height());
    const int top = m_toolbar->height() + 4;
    m_rangePanel->move(8, top);
    m_regionPanel->move(std::max(8, width() - m_regionPanel->width() - 8), top);
    m_statisticsPanel->move(std::max(8, width() - m_statisticsPanel->width() - 8), top);
}

void PlotWindow::resizeEvent(QResizeEvent* /*event*/)
{
    placePanels();
}

void PlotWindow::closeEvent(QCloseEvent* event)
{
    // Nothing half-drawn carries on once the window is gone.
    m_canvas->stop();
    rememberSettings();
    QWidget::closeEvent(event);
}

void PlotWindow::showNewRecords()
{
    setWindowTitle(m_document.name());
    m_statisticsPanel->clearStatistics();
    if (m_rangePanel->isVisible())
        m_rangePanel->fill(m_canvas->axisMin(), m_canvas->axisMax());
}

void PlotWindow::drawingComplete()
{
    setWindowTitle(m_document.name());
}

void PlotWindow::run(PlotCommand command)
{
    switch (command) {
    case PlotCommand::Regions:
        m_regionPanel->setVisible(!m_regionPanel->isVisible());
        if (m_regionPanel->isVisible())
            m_regionPanel->raise();
        break;
    case PlotCommand::Range:
        m_rangePanel->fill(m_canvas->axisMin(), m_canvas->axisMax());
        m_rangePanel->setVisible(!m_rangePanel->isVisible());
        if (m_rangePanel->isVisible())
            m_rangePanel->raise();
        break;
    case PlotCommand::Print: {
        const RegionRows regions = regionRows();
        m_rangePanel->hide();
        m_regionPanel->hide();
        m_toolbar->hide();
        m_exports.print(windowTitle(), m_settings.RegionsOn ? &regions : nullptr);
        m_toolbar->show();
        break;
    }
    case PlotCommand::ExportCsv:
        m_exports.exportCsv();
        break;
    case PlotCommand::ExportPicture: {
        const RegionRows regions = regionRows();
        m_exports.exportPicture(m_settings.RegionsOn ? &regions : nullptr);
        break;
    }
    case PlotCommand::Report:
        m_exports.exportReport(regionRows(), this);
        break;
    }
}

void PlotWindow::applyRange(files::RecordRange range, double axisMin, double axisMax)
{
    m_canvas->setAxisRange(axisMin, axisMax);
    // A new record range redraws through the document; OK redraws in any case.
    if (!m_document.setRange(range))
        m_canvas->redraw();
}

void PlotWindow::showRegions()
{
    m_settings.RegionsOn = true;
    m_canvas->redraw();
}

void PlotWindow::hideRegions()
{
    m_settings.RegionsOn = false;
    m_regionPanel->hide();
    m_canvas->redraw();
}

RegionRows PlotWindow::regionRows() const
{
    return m_regionPanel->rows();
}

PlotViewer::PlotViewer(ui::Dialogs& dialogs, files::PlotDocument& document, QWidget* mainWindow,
                       const ui::Clock* clock)
    : m_dialogs(dialogs), m_document(document), m_mainWindow(mainWindow), m_clock(clock)
{
}

PlotViewer::~PlotViewer()
{
    delete m_window.data();
}

PlotWindow* PlotViewer::showAndDraw()
{
    if (m_window) {
        if (m_window->isMinimized())
            m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }
    m_window = new PlotWindow(m_dialogs, m_document, m_mainWindow, m_settings, m_clock);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    return m_window;
}

} // namespace plot
