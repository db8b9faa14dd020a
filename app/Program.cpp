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
#include "ui/Settings.h"
#include "ui/WindowPlace.h"
#include "ui/WorkingFiles.h"
#include "virtualmeter/VirtualMeter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace app {

namespace {
const QString MeterSerialKey = QStringLiteral("Meter/serial");
} // namespace

std::unique_ptr<meterlink::platform::HidPlatform> OpenPlatform(bool demo)
{
    if (demo)
        return std::make_unique<virtualmeter::VirtualMeter>();
    return std::make_unique<meterlink::platform::HidapiPlatform>(meterlink::meter::VendorId,
                                                                 meterlink::meter::ProductId);
}

QString ProgramVersion()
{
    return QStringLiteral("8.01");
}

QString AboutText()
{
    return QStringLiteral("Tellarix 582 companion, version %1\n\n"
                          "The desktop companion program of the 582 chromaticity and illuminance "
                          "meter.\n\n"
                          "Free software under the GNU General Public License, version 3 or later "
                          "(GPL-3.0-or-later).\n\n"
                          "Qt %2\nhidapi %3")
        .arg(ProgramVersion(), QString::fromLatin1(qVersion()),
             QString::fromStdString(meterlink::platform::HidLibraryVersion()));
}

QString ManualText(const QString& readme)
{
    // Sections for those who build or change the program; the user reads the rest.
    static const QStringList forDevelopers = {
        QStringLiteral("Building"), QStringLiteral("Tests, sanitizers, fuzzing"),
        QStringLiteral("Layout"), QStringLiteral("Installing")};
    const QStringList lines = readme.split(QLatin1Char('\n'));
    QStringList kept;
    bool keep = true;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("## ")))
            keep = !forDevelopers.contains(line.mid(3).trimmed());
        if (keep)
            kept << line;
    }
    return kept.join(QLatin1Char('\n'));
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
    wireMenus();
    restoreSettings();
}

Program::~Program()
{
    rememberSettings();
    m_link.setObserver(nullptr);
}

void Program::restoreSettings()
{
    const ui::Settings settings;
    ui::RestorePlace(*m_panel, QStringLiteral("Panel"));
    m_panel->setPcInterval(settings.pcInterval());
    // The meter by its serial number, which stays when it comes back on another port; a meter
    // that is not plugged in now leaves discovery to take the first one found.
    std::string meter = settings.meterPath().toStdString();
    if (const QString serial = settings.value(MeterSerialKey).toString(); !serial.isEmpty()) {
        for (const auto& present : m_link.meters())
            if (QString::fromStdString(present.serial) == serial)
                meter = present.path;
    }
    if (!meter.empty())
        m_link.chooseMeter(meter);
    // "Open" starts where a data file was opened last; the first time where the start-up file
    // lies.
    if (const auto folder = settings.keptFolder(ui::FileKind::DataFile)) {
        m_cmd.fileName = *folder + QLatin1Char('/');
        m_cmd.fileTitle.clear();
    }
}

void Program::rememberSettings()
{
    ui::Settings settings;
    ui::RememberPlace(*m_panel, QStringLiteral("Panel"));
    settings.setPcInterval(m_panel->pcInterval());
}

void Program::wireMenus()
{
    panel::PanelWindow& window = *m_panel;
    auto exportCommand = [this](plot::PlotCommand command) {
        return [this, command] {
            plot::PlotWindow* plot = m_plotViewer->window();
            if (plot == nullptr) {
                m_environment.dialogs.message(QStringLiteral("Open a recording first: File, Open."),
                                              ui::MsgButtons::Ok, ui::MsgIcon::Information);
                return;
            }
            plot->run(command);
        };
    };
    window.setMenuCommand(panel::MenuCommand::ExportCsv,
                          exportCommand(plot::PlotCommand::ExportCsv));
    window.setMenuCommand(panel::MenuCommand::ExportPicture,
                          exportCommand(plot::PlotCommand::ExportPicture));
    window.setMenuCommand(panel::MenuCommand::ViewPlot, [this] {
        // The plot of the file opened last, or "Open" to choose one.
        if (m_plotViewer->window() != nullptr || !m_document.name().isEmpty())
            showPlot();
        else
            m_panel->toolbar()->click(panel::ToolbarKey::Open);
    });
    window.setMenuCommand(panel::MenuCommand::ForgetSettings, [this] { forgetSettings(); });
    window.setMenuCommand(panel::MenuCommand::Manual, [this] { showManual(); });
    window.setMenuCommand(panel::MenuCommand::About, [this] {
        m_environment.dialogs.message(AboutText(), ui::MsgButtons::Ok, ui::MsgIcon::Information,
                                      QStringLiteral("About Tellarix 582"));
    });
}

void Program::showManual()
{
    QFile readme(QStringLiteral(":/manual/README.md"));
    if (!readme.open(QIODevice::ReadOnly)) {
        m_environment.dialogs.message(QStringLiteral("The manual is missing from this build."),
                                      ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    m_environment.dialogs.showDocument(QStringLiteral("Tellarix 582 manual"),
                                       ManualText(QString::fromUtf8(readme.readAll())),
                                       QUrl(QStringLiteral("qrc:/manual/")));
}

void Program::forgetSettings()
{
    if (m_environment.dialogs.message(
            QStringLiteral("Forget the places of the windows, the regions, the PC sampling time, "
                           "the meter and the folders kept from earlier runs? The program starts "
                           "with its defaults next time."),
            ui::MsgButtons::OkCancelDefaultCancel, ui::MsgIcon::Question) != ui::MsgAnswer::Ok)
        return;
    ui::Settings().forget();
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
    QObject::connect(m_recorder.get(), &files::PcRecorder::recordingChanged, m_panel.get(),
                     [this](bool on) {
                         if (on)
                             m_panel->showRecordingProgress(m_recorder->targetPath(), 0);
                     });
    QObject::connect(m_recorder.get(), &files::PcRecorder::recordWritten, m_panel.get(),
                     [this](long long count) {
                         m_panel->showRecordingProgress(m_recorder->targetPath(), count);
                     });
    QObject::connect(m_recorder.get(), &files::PcRecorder::saved, m_panel.get(),
                     &panel::PanelWindow::showRecordingSaved);
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
        const bool opened = files::OpenCommand(
            m_environment.dialogs, m_cmd, m_document, [this] { showPlot(); },
            [this](int percent) { showReadProgress(percent); });
        // A working file of the program (a downloaded set) is no folder of the user's.
        if (opened && !m_environment.paths.contains(m_cmd.fileName))
            ui::Settings().rememberFolder(ui::FileKind::DataFile, m_cmd.fileName);
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
    if (chosen >= 0 && chosen < static_cast<int>(meters.size())) {
        const auto& meter = meters[static_cast<std::size_t>(chosen)];
        m_link.chooseMeter(meter.path);
        ui::Settings settings;
        settings.setMeterPath(QString::fromStdString(meter.path));
        settings.setValue(MeterSerialKey, QString::fromStdString(meter.serial));
    }
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
