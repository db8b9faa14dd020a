#include "app/Program.h"

#include "clock/RtcWindow.h"
#include "files/FileCommands.h"
#include "files/PcRecorder.h"
#include "link/FrameReadings.h"
#include "link/MeterCommands.h"
#include "link/platform/HidapiPlatform.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "panel/ReadingsWindow.h"
#include "panel/Toolbar.h"
#include "plot/GraphWindow.h"
#include "plot/PlotWindow.h"
#include "ui/WorkingFiles.h"
#include "virtualmeter/VirtualMeter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace app {

std::unique_ptr<meterlink::platform::HidPlatform> OpenPlatform(bool demo)
{
    if (demo)
        return std::make_unique<virtualmeter::VirtualMeter>();
    return std::make_unique<meterlink::platform::HidapiPlatform>(meterlink::meter::VendorId,
                                                                 meterlink::meter::ProductId);
}

Program::Program(const Environment& environment)
    : m_environment(environment), m_link(environment.platform),
      m_runner(m_link), m_services{environment.dialogs, environment.clock, environment.paths}
{
    prepareStartupFile();
    m_panel = std::make_unique<panel::PanelWindow>(m_runner, environment.dialogs);
    m_link.setObserver(m_panel.get());
    wireRecording();
    wireFileCommands();
    wireMeterCommands();
    wireLiveWindows();
}

Program::~Program()
{
    m_link.setObserver(nullptr);
}

void Program::prepareStartupFile()
{
    // Errors here are ignored: the program runs without its start-up file. "Open" starts its
    // dialog with this name.
    m_cmd.fileName = m_environment.paths.startupFile();
    QString ignored;
    if (const ui::FolderResult temp = m_environment.paths.temp(); temp.ok())
        ui::SaveWhole(temp.folder, QFileInfo(m_cmd.fileName).fileName(), {}, ignored);
}

void Program::wireRecording()
{
    // A sample takes what came since the last one, so that a meter that went away is not
    // recorded over and over with its last frame.
    m_recorder = std::make_unique<files::PcRecorder>(
        m_environment.clock, m_environment.paths, m_environment.dialogs,
        [this] { return std::exchange(m_nextSample, files::LiveSample()); });
    QObject::connect(m_panel.get(), &panel::PanelWindow::frameDecoded, m_recorder.get(),
                     [this](const meterlink::FrameFields& fields) {
                         const auto reading = meterlink::RecordReadingFromFrame(fields);
                         m_nextSample = files::LiveSample{reading, !reading};
                     });
    QObject::connect(m_recorder.get(), &files::PcRecorder::recordingChanged, m_panel.get(),
                     &panel::PanelWindow::showRecording);
    QObject::connect(m_recorder.get(), &files::PcRecorder::leftOutChanged, m_panel.get(),
                     &panel::PanelWindow::showSamplesLeftOut);
    m_panel->toolbar()->setCommand(panel::ToolbarKey::Save, [this] {
        files::SaveCommand(*m_recorder, m_environment.dialogs, m_cmd, m_panel->pcInterval());
    });
    m_panel->setCloseCheck([this] { return m_recorder->stopForClose(); });
    // A recording that an earlier run left behind must survive this run's first recording.
    m_recorder->keepAside();
}

void Program::wireFileCommands()
{
    m_plotViewer = std::make_unique<plot::PlotViewer>(m_environment.dialogs, m_document,
                                                      m_panel.get(), &m_environment.clock);
    m_panel->toolbar()->setCommand(panel::ToolbarKey::Open, [this] {
        files::OpenCommand(
            m_environment.dialogs, m_cmd, m_document, [this] { showPlot(); },
            [this](int percent) { showReadProgress(percent); });
    });
}

void Program::openDataFile(const QString& path)
{
    files::OpenDataFile(
        path, m_environment.dialogs, m_cmd, m_document, [this] { showPlot(); },
        [this](int percent) { showReadProgress(percent); });
}

void Program::showPlot()
{
    m_plotViewer->showAndDraw();
}

void Program::showReadProgress(int percent)
{
    m_panel->showReadProgress(m_cmd.fileTitle, percent);
}

void Program::wireMeterCommands()
{
    m_logger = std::make_unique<logger::LoggerCommands>(m_runner, m_services, m_document, m_cmd,
                                                        m_panel.get());
    // A downloaded set plotted shows as an opened data file does.
    m_logger->setPlotShower([this] { showPlot(); });
    panel::MainToolbar& toolbar = *m_panel->toolbar();
    QObject::connect(m_panel.get(), &panel::PanelWindow::chooseMeterClicked, m_panel.get(),
                     [this] { chooseMeter(); });
    toolbar.setCommand(panel::ToolbarKey::Rtc, [this] {
        meterclock::ShowRtc(m_runner, m_environment.clock, m_environment.dialogs, m_panel.get());
    });
    toolbar.setCommand(panel::ToolbarKey::Logger, [this] { m_logger->listMemory(); });
    toolbar.setCommand(panel::ToolbarKey::Erase, [this] { m_logger->eraseAll(); });
}

void Program::chooseMeter()
{
    const auto meters = m_link.meters();
    if (meters.empty()) {
        m_environment.dialogs.message(QStringLiteral("No meter is plugged in."), ui::MsgButtons::Ok,
                                      ui::MsgIcon::Exclamation);
        return;
    }
    const std::string& inUse = m_link.connected() ? m_link.devicePath() : m_link.chosenPath();
    QStringList items;
    int current = 0;
    for (const auto& meter : meters) {
        if (meter.path == inUse)
            current = static_cast<int>(items.size());
        QString item = QString::fromStdString(meter.path);
        if (!meter.serial.empty())
            item += QStringLiteral("   serial number %1").arg(QString::fromStdString(meter.serial));
        items << item;
    }
    const int chosen = m_environment.dialogs.chooseItem(QStringLiteral("Talk to the meter:"),
                                                        QStringLiteral("Meter"), items, current);
    if (chosen >= 0 && chosen < static_cast<int>(meters.size()))
        m_link.chooseMeter(meters[static_cast<std::size_t>(chosen)].path);
}

void Program::wireLiveWindows()
{
    panel::MainToolbar& toolbar = *m_panel->toolbar();
    toolbar.setCommand(panel::ToolbarKey::List, [this] {
        if (m_readings == nullptr) {
            m_readings = new panel::ReadingsWindow(m_environment.dialogs, m_environment.clock,
                                                   m_panel.get());
            QObject::connect(m_panel.get(), &panel::PanelWindow::frameDecoded, m_readings,
                             &panel::ReadingsWindow::addFrame);
        }
        m_readings->showBeside();
    });
    toolbar.setCommand(panel::ToolbarKey::Graph, [this] {
        if (!m_graph) {
            m_graph = std::make_unique<plot::GraphWindow>(m_environment.dialogs, m_panel.get());
            QObject::connect(m_panel.get(), &panel::PanelWindow::frameDecoded, m_graph.get(),
                             [this](const meterlink::FrameFields& fields) {
                                 if (const auto reading = meterlink::ChromaticityFromFrame(fields))
                                     m_graph->showReading(*reading);
                                 else
                                     m_graph->showNoReading();
                             });
            QObject::connect(m_panel.get(), &panel::PanelWindow::meterLost, m_graph.get(),
                             &plot::GraphWindow::showNoReading);
        }
        // The regions the plot window has ticked come along.
        const plot::PlotWindow* plot = m_plotViewer->window();
        const plot::RegionRows rows = plot ? plot->regionRows() : plot::RegionRows();
        m_graph->open(plot ? &rows : nullptr);
    });
}

} // namespace app
