#include "panel/PanelWindow.h"

#include "clock/RtcWindow.h"
#include "files/FileCommands.h"
#include "files/PcRecorder.h"
#include "link/MeterCommands.h"
#include "logger/LoggerCommands.h"
#include "panel/ChromaPicture.h"
#include "panel/FrontPanel.h"
#include "panel/ReadingsWindow.h"
#include "panel/ReferencePictures.h"
#include "panel/ReferenceView.h"
#include "panel/SetupPictures.h"
#include "panel/Toolbar.h"
#include "plot/GraphWindow.h"
#include "plot/PlotWindow.h"
#include "ui/ClickableLabel.h"
#include "ui/WorkingFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace panel {

namespace {
const QString NoDevice = QStringLiteral("NoDevice Found!\"");
const QString ModelCaption = QStringLiteral("582");

void setText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}
} // namespace

PanelWindow::PanelWindow(ui::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_timer1(new QTimer(this)),
      m_lblCOM(new QLabel(this)), m_lblName(new QLabel(this)), m_picNoCom(new QFrame(this)),
      m_lblConnect(new ui::ClickableLabel(QStringLiteral("No Connection"), m_picNoCom)),
      m_pictureHost(new QWidget(this)), m_front(new FrontPanel(this)),
      m_decimalSeparator(QLocale().decimalPoint().at(0))
{
    setObjectName(QStringLiteral("Panel"));
    setWindowTitle(QStringLiteral("Panel   V8.01"));
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(300);
    m_lblCOM->setObjectName(QStringLiteral("LblCOM"));
    m_lblName->setObjectName(QStringLiteral("LblName"));
    m_picNoCom->setObjectName(QStringLiteral("PicNoCom"));
    m_lblConnect->setObjectName(QStringLiteral("LblConnect"));

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(m_front, 0, Qt::AlignTop);

    auto* side = new QVBoxLayout;
    auto* status = new QHBoxLayout;
    QFont model = m_lblCOM->font();
    model.setBold(true);
    m_lblCOM->setFont(model);
    status->addWidget(m_lblCOM);
    status->addWidget(m_lblName, 1);
    side->addLayout(status);
    m_picNoCom->setFrameShape(QFrame::StyledPanel);
    m_picNoCom->setStyleSheet(QStringLiteral("QFrame#PicNoCom { background: #f6d7d7; }"));
    auto* noComLayout = new QVBoxLayout(m_picNoCom);
    noComLayout->addWidget(m_lblConnect);
    side->addWidget(m_picNoCom);
    m_pictureHost->setObjectName(QStringLiteral("PictureHost"));
    auto* hostLayout = new QVBoxLayout(m_pictureHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    m_picChroma = new ChromaPicture(m_pictureHost);
    hostLayout->addWidget(m_picChroma);
    m_reference = new ReferencePictures(m_pictureHost, hostLayout);
    side->addWidget(m_pictureHost);
    side->addStretch();
    layout->addLayout(side);
    m_picNoCom->hide();
    setCentralWidget(central);

    connect(m_timer1, &QTimer::timeout, this, &PanelWindow::PollMeter);
    connect(m_lblConnect, &ui::ClickableLabel::clicked, this, &PanelWindow::LblConnect_Click);
    for (std::size_t i = 0; i < PanelKeys.size(); ++i) {
        const std::uint8_t code = PanelKeys[i].code;
        connect(m_front->keyButton(i), &QPushButton::clicked, this,
                [this, code] { sendKey(code); });
    }
    connect(m_front->setupButton(), &QPushButton::clicked, m_reference,
            &ReferencePictures::togglePicRef);
    m_services.link.setObserver(this);

    Form_Load();
    m_toolbar = new MainToolbar([this] { return RecordOn; }, this);
    addToolBar(m_toolbar);
    m_setupPictures->attach(*m_toolbar);
    wireFileCommands();
    wireMemoryAndClockCommands();
    // A recording that an earlier run left behind must survive this run's first recording.
    m_recorder->keepAside();
    m_timer1->start();
}

PanelWindow::~PanelWindow()
{
    m_services.link.setObserver(nullptr);
}

void PanelWindow::Form_Load()
{
    // Errors here are ignored: the program runs without its start-up file.
    QDir().mkpath(m_services.paths.tempFolder());
    m_services.cmd.fileName = m_services.paths.startupFile();
    QFile startup;
    QString ignored;
    ui::OpenFresh(startup, m_services.cmd.fileName, {}, ignored);
    // The schedule lists are filled by the set-up pictures; the locus tables are constants.
    m_setupPictures = new SetupPictures(
        {m_services.link, m_services.dialogs, *this, [this] { return MemoryBusy; }, PCInterval},
        m_pictureHost);
    m_reference->addUnits();
    PCInterval = 1;
}

void PanelWindow::setPolling(bool on)
{
    if (on)
        m_timer1->start();
    else
        m_timer1->stop();
}

bool PanelWindow::polling() const
{
    return m_timer1->isActive();
}

void PanelWindow::meterSearched(bool found)
{
    m_picNoCom->setVisible(!found);
}

void PanelWindow::readFailed(const std::string& reason)
{
    m_lblName->setText(QString::fromStdString(reason));
}

void PanelWindow::PollMeter()
{
    auto& link = m_services.link;
    // A report still pending (an acknowledgement nobody read, one that came late, a stray one)
    // would be taken for the first half of the frame, and every later frame would be out of
    // step too. Only what has already arrived is dropped, so the tick does not wait.
    link.Discard(meterlink::MeterLink::MaxDiscard, 0);
    // Parameters left by an earlier command would turn the poll into another command (byte 2
    // = 17 is the unit option).
    link.OutputReport.fill(0);
    link.OutputReport[1] = meterlink::meter::Poll;
    link.Exchange();
    if (!link.Connected()) {
        setText(m_lblCOM, NoDevice);
        Q_EMIT meterLost();
        return;
    }
    setText(m_lblCOM, ModelCaption);
    const meterlink::Report first = link.ReceivedReport;
    link.ReceiveOnly();
    // Without the second report the frame would mix in stale bytes (mode, flags, references):
    // keep what is on screen and let the next tick rediscover the meter.
    if (!link.Connected()) {
        setText(m_lblCOM, NoDevice);
        Q_EMIT meterLost();
        return;
    }
    const FrameFields fields = DecodeFrame(AssembleFrame(first, link.ReceivedReport));
    m_lastFrame = fields;
    RecordOn = fields.recordOn;
    MemoryBusy = fields.memoryBusy;

    m_front->picSet()->setVisible(fields.setUp);
    if (!fields.setUp) {
        m_reference->setReferenceTexts(ComputeReferenceTexts(fields, m_decimalSeparator));
        m_front->apply(ComputeDisplay(fields, m_decimalSeparator));
    }
    Q_EMIT frameDecoded();
}

void PanelWindow::sendKey(std::uint8_t code)
{
    auto& link = m_services.link;
    setPolling(false);
    link.OutputReport.fill(0);
    link.OutputReport[1] = meterlink::meter::Command;
    link.OutputReport[2] = code;
    link.Exchange();
    setPolling(true);
}

std::optional<files::Reading> PanelWindow::latestReading() const
{
    if (!m_lastFrame)
        return std::nullopt;
    return ReadingFromFrame(*m_lastFrame);
}

void PanelWindow::LblConnect_Click()
{
    const QString v800 = QStringLiteral("Panel   V8.00");
    setWindowTitle(windowTitle() != v800 ? v800 : QStringLiteral("Panel   V8.00   140516"));
}

void PanelWindow::closeEvent(QCloseEvent* event)
{
    // A running recording is stopped and saved first, or the close is cancelled.
    if (!m_recorder->stopForClose()) {
        event->ignore();
        return;
    }
    // Closing the panel ends the program, whatever other windows are open.
    m_timer1->stop();
    event->accept();
    QApplication::closeAllWindows();
    QApplication::quit();
}

void PanelWindow::wireFileCommands()
{
    m_plotViewer = std::make_unique<plot::PlotViewer>(m_services, *this, this);
    // A sample takes a reading only when a frame has arrived since the last one, so that a
    // meter that went away is not recorded over and over with its last frame.
    auto fresh = std::make_shared<bool>(false);
    connect(this, &PanelWindow::frameDecoded, this, [fresh] { *fresh = true; });
    m_recorder = new files::PcRecorder(
        m_services.clock, m_services.paths, m_services.dialogs,
        [this, fresh]() -> std::optional<files::Reading> {
            if (!*fresh)
                return std::nullopt;
            *fresh = false;
            return latestReading();
        },
        this);
    m_lblRec = new QLabel(this);
    m_lblRec->setObjectName(QStringLiteral("LblRec"));
    statusBar()->addPermanentWidget(m_lblRec);
    connect(m_recorder, &files::PcRecorder::recordingChanged, this, [this](bool on) {
        m_toolbar->setRecordingLook(on);
        m_lblRec->setText(files::RecIndicatorText(on));
    });
    m_toolbar->setCommand(QStringLiteral("Save"), [this] {
        files::SaveCommand(*m_recorder, m_services.dialogs, m_services.cmd, m_services.fileState,
                           PCInterval);
    });
    m_toolbar->setCommand(QStringLiteral("Open"), [this] {
        files::OpenCommand(
            m_services.dialogs, m_services.cmd, m_services.fileState, m_services.plot, *this,
            [this] { m_plotViewer->showAndDraw(); },
            [this](int percent) { showReadProgress(percent); });
    });
    m_toolbar->setCommand(QStringLiteral("Graph"), [this] {
        if (!m_graph)
            m_graph = std::make_unique<plot::GraphWindow>(m_services.dialogs, this);
        const plot::PlotWindow* plot = m_plotViewer->window();
        const plot::RegionRows rows = plot ? plot->regionRows() : plot::RegionRows();
        m_graph->open(plot ? &rows : nullptr);
    });
    connect(this, &PanelWindow::frameDecoded, this, [this] {
        if (!m_graph)
            return;
        if (const auto reading = plot::GraphReadingFromFrame(*m_lastFrame))
            m_graph->showReading(*reading);
        else
            m_graph->showNoReading();
    });
    connect(this, &PanelWindow::meterLost, this, [this] {
        if (m_graph)
            m_graph->showNoReading();
    });
}

void PanelWindow::openDataFile(const QString& path)
{
    files::OpenDataFile(
        path, m_services.dialogs, m_services.cmd, m_services.fileState, m_services.plot, *this,
        [this] { m_plotViewer->showAndDraw(); },
        [this](int percent) { showReadProgress(percent); });
}

void PanelWindow::showReadProgress(int percent)
{
    statusBar()->showMessage(
        QStringLiteral("Reading %1: %2 %").arg(m_services.cmd.fileTitle).arg(percent), 2000);
    // The window repaints and the live poll goes on; clicks wait until the file is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PanelWindow::wireMemoryAndClockCommands()
{
    m_logger = new logger::LoggerCommands(m_services, *this, this, this);
    // A listing or download lets window events run; the toolbar, keys and pictures wait until
    // it ends, so no other meter traffic interleaves with it.
    connect(m_logger, &logger::LoggerCommands::busyChanged, m_toolbar, [this](bool busy) {
        m_toolbar->setEnabled(!busy);
        centralWidget()->setEnabled(!busy);
    });
    m_toolbar->setCommand(QStringLiteral("RTC"), [this] {
        if (!m_logger->busy())
            meterclock::ShowRtc(m_services, *this, this);
    });
    m_toolbar->setCommand(QStringLiteral("List"), [this] {
        if (!m_readings) {
            m_readings = new ReadingsWindow(m_services.dialogs, m_services.clock, this);
            connect(this, &PanelWindow::frameDecoded, m_readings,
                    [this] { m_readings->addFrame(*m_lastFrame); });
        }
        m_readings->showBeside();
    });
    m_toolbar->setCommand(QStringLiteral("Logger"), [this] { m_logger->Listing(); });
    m_toolbar->setCommand(QStringLiteral("Erase"), [this] { m_logger->EraseAll(); });
}

} // namespace panel
