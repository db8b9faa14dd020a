#include "panel/PanelWindow.h"

#include "link/MeterCommands.h"
#include "panel/ChromaPicture.h"
#include "panel/FrontPanel.h"
#include "panel/ReferencePictures.h"
#include "panel/ReferenceView.h"
#include "panel/SetupPictures.h"
#include "panel/Toolbar.h"
#include "ui/ClickableLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace panel {

namespace {
const QString NoDevice = QStringLiteral("NoDevice Found!\"");
const QString ModelCaption = QStringLiteral("582");
const QString PermissionHint =
    QStringLiteral("The meter is plugged in but may not be opened: install the udev rule from "
                   "packaging/udev (see README).");

void SetText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}
} // namespace

PanelWindow::PanelWindow(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_runner(runner), m_pollTimer(new QTimer(this)),
      m_lblCOM(new QLabel(this)), m_lblName(new QLabel(this)),
      m_lblPermission(new QLabel(PermissionHint, this)), m_picNoCom(new QFrame(this)),
      m_lblConnect(new ui::ClickableLabel(QStringLiteral("No Connection"), m_picNoCom)),
      m_pictureHost(new QWidget(this)), m_front(new FrontPanel(this)),
      m_decimalSeparator(QLocale().decimalPoint().at(0))
{
    setObjectName(QStringLiteral("Panel"));
    setWindowTitle(QStringLiteral("Panel   V8.01"));
    m_pollTimer->setObjectName(QStringLiteral("Timer1"));
    m_pollTimer->setInterval(300);
    m_lblCOM->setObjectName(QStringLiteral("LblCOM"));
    m_lblName->setObjectName(QStringLiteral("LblName"));
    m_lblPermission->setObjectName(QStringLiteral("LblPermission"));
    m_lblPermission->setWordWrap(true);
    m_lblPermission->hide();
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
    auto* chooseMeter = new QPushButton(QStringLiteral("Meter…"), this);
    chooseMeter->setObjectName(QStringLiteral("CmdChooseMeter"));
    chooseMeter->setToolTip(QStringLiteral("Choose the meter to use when several are plugged in"));
    status->addWidget(chooseMeter);
    side->addLayout(status);
    side->addWidget(m_lblPermission);
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
    m_reference->addUnits();
    m_setupPictures = new SetupPictures({runner, dialogs, [this] { return m_memoryBusy; }},
                                        m_pictureHost, m_reference->referenceMenu(), m_picChroma);
    side->addWidget(m_pictureHost);
    side->addStretch();
    layout->addLayout(side);
    m_picNoCom->hide();
    setCentralWidget(central);

    m_toolbar = new MainToolbar([this] { return m_recordOn; }, this);
    addToolBar(m_toolbar);
    m_setupPictures->attach(*m_toolbar);
    m_lblRec = new QLabel(this);
    m_lblRec->setObjectName(QStringLiteral("LblRec"));
    m_lblLeftOut = new QLabel(this);
    m_lblLeftOut->setObjectName(QStringLiteral("LblLeftOut"));
    m_lblRecording = new QLabel(this);
    m_lblRecording->setObjectName(QStringLiteral("LblRecording"));
    statusBar()->addPermanentWidget(m_lblRecording);
    statusBar()->addPermanentWidget(m_lblLeftOut);
    statusBar()->addPermanentWidget(m_lblRec);
    buildMenus();

    connect(m_pollTimer, &QTimer::timeout, this, &PanelWindow::pollMeter);
    connect(m_lblConnect, &ui::ClickableLabel::clicked, this, &PanelWindow::toggleVersionCaption);
    connect(chooseMeter, &QPushButton::clicked, this, &PanelWindow::chooseMeterClicked);
    for (std::size_t i = 0; i < PanelKeys.size(); ++i) {
        const std::uint8_t code = PanelKeys[i].code;
        connect(m_front->keyButton(i), &QPushButton::clicked, this,
                [this, code] { sendKey(code); });
    }
    connect(m_front->setupButton(), &QPushButton::clicked, m_reference,
            &ReferencePictures::toggleReferenceMenu);
    // No device is opened here: the first tick looks for the meter.
    m_runner.setPollGate(this);
    m_pollTimer->start();
}

PanelWindow::~PanelWindow()
{
    m_runner.setPollGate(nullptr);
}

void PanelWindow::pausePoll()
{
    m_pollTimer->stop();
}

void PanelWindow::resumePoll()
{
    m_pollTimer->start();
}

void PanelWindow::meterSearched(bool found)
{
    m_picNoCom->setVisible(!found);
}

void PanelWindow::accessDenied(bool denied)
{
    m_lblPermission->setVisible(denied);
}

void PanelWindow::readFailed(const std::string& reason)
{
    m_lblName->setText(QString::fromStdString(reason));
}

void PanelWindow::pollMeter()
{
    const auto reply = m_runner.poll();
    if (!reply)
        return; // a meter sequence or a hold keeps the poll paused
    // Without the second report the frame would mix in other bytes (mode, flags, references):
    // keep what is on screen and let the next tick rediscover the meter.
    if (!reply->answered()) {
        SetText(m_lblCOM, NoDevice);
        m_front->setStale(true);
        Q_EMIT meterLost();
        return;
    }
    SetText(m_lblCOM, ModelCaption);
    // The meter answers again: why it did not is past.
    SetText(m_lblName, QString());
    m_front->setStale(false);
    const meterlink::FrameFields fields =
        meterlink::DecodeFrame(meterlink::AssembleFrame(reply->answers[0], reply->answers[1]));
    m_recordOn = fields.recordOn;
    m_memoryBusy = fields.memoryBusy;

    m_front->picSet()->setVisible(fields.setUp);
    if (!fields.setUp) {
        m_reference->setReferenceTexts(ComputeReferenceTexts(fields, m_decimalSeparator));
        m_front->apply(ComputeDisplay(fields, m_decimalSeparator));
    }
    Q_EMIT frameDecoded(fields);
}

void PanelWindow::sendKey(std::uint8_t code)
{
    if (auto sequence = m_runner.begin(meterlink::SequenceRunner::Drain::Skip))
        sequence->request(meterlink::commands::Key(code));
}

int PanelWindow::pcInterval() const
{
    return m_setupPictures->pcInterval();
}

void PanelWindow::setPcInterval(int seconds)
{
    m_setupPictures->setPcInterval(seconds);
}

void PanelWindow::buildMenus()
{
    struct Entry
    {
        const char* name;
        const char* text;
        std::optional<ToolbarKey> key;
        std::optional<MenuCommand> command;
        QKeySequence shortcut;
    };
    auto fill = [this](const char* name, const QString& title,
                       std::initializer_list<Entry> entries) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        for (const Entry& entry : entries) {
            if (entry.name == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(entry.text));
            action->setObjectName(QLatin1String(entry.name));
            action->setShortcut(entry.shortcut);
            if (entry.key) {
                // The same dispatch as the button: ignored while the meter records, closes the
                // set-up menu.
                const ToolbarKey key = *entry.key;
                action->setStatusTip(m_toolbar->button(key)->statusTip());
                connect(action, &QAction::triggered, this, [this, key] { m_toolbar->click(key); });
            } else if (entry.command) {
                const auto index = static_cast<std::size_t>(*entry.command);
                m_menuActions[index] = action;
                connect(action, &QAction::triggered, this, [this, index] {
                    // A copy: the command may register another one in its place.
                    if (const auto run = m_menuCommands[index])
                        run();
                });
            }
        }
        return menu;
    };
    const Entry separator{nullptr, nullptr, {}, {}, {}};
    QMenu* file =
        fill("MnuFile", QStringLiteral("&File"),
             {{"MnuOpen", "&Open…", ToolbarKey::Open, {}, QKeySequence::Open},
              {"MnuRecord", "&Record…", ToolbarKey::Save, {}, {}},
              separator,
              {"MnuExportCsv", "Export &CSV…", {}, MenuCommand::ExportCsv, {}},
              {"MnuExportPicture", "Export &Picture…", {}, MenuCommand::ExportPicture, {}},
              separator,
              {"MnuForgetSettings", "&Forget Settings…", {}, MenuCommand::ForgetSettings, {}}});
    m_mnuRecord = file->findChild<QAction*>(QStringLiteral("MnuRecord"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("MnuQuit"));
    // Ctrl+Q also where the platform has no standard quit key.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    QMenu* meter = fill("MnuMeter", QStringLiteral("&Meter"),
                        {{"MnuInterval", "Sampling &Interval…", ToolbarKey::Interval, {}, {}},
                         {"MnuSetup", "&Set-up Menu", ToolbarKey::Setup, {}, {}},
                         {"MnuRtc", "Real Time &Clock…", ToolbarKey::Rtc, {}, {}},
                         {"MnuLogger", "Data &Logger…", ToolbarKey::Logger, {}, {}},
                         {"MnuErase", "&Erase Memory…", ToolbarKey::Erase, {}, {}},
                         {"MnuChroma", "C&hromaticity Test", ToolbarKey::Chroma, {}, {}}});
    meter->addSeparator();
    QAction* choose = meter->addAction(QStringLiteral("&Meter…"));
    choose->setObjectName(QStringLiteral("MnuChooseMeter"));
    connect(choose, &QAction::triggered, this, &PanelWindow::chooseMeterClicked);
    fill("MnuView", QStringLiteral("&View"),
         {{"MnuList", "&List", ToolbarKey::List, {}, {}},
          {"MnuGraph", "&Graph", ToolbarKey::Graph, {}, {}},
          {"MnuPlot", "&Plot", {}, MenuCommand::ViewPlot, {}}});
    fill("MnuHelp", QStringLiteral("&Help"),
         {{"MnuManual", "&Manual", {}, MenuCommand::Manual, QKeySequence(Qt::Key_F1)},
          {"MnuAbout", "&About", {}, MenuCommand::About, {}}});
}

void PanelWindow::setMenuCommand(MenuCommand command, std::function<void()> run)
{
    m_menuCommands[static_cast<std::size_t>(command)] = std::move(run);
}

QAction* PanelWindow::menuAction(MenuCommand command) const
{
    return m_menuActions[static_cast<std::size_t>(command)];
}

void PanelWindow::showRecording(bool on)
{
    m_toolbar->setRecordingLook(on);
    m_lblRec->setText(on ? QStringLiteral("Rec.") : QString());
    m_mnuRecord->setText(on ? QStringLiteral("&Stop Recording") : QStringLiteral("&Record…"));
    if (!on)
        m_lblRecording->clear();
}

void PanelWindow::showRecordingProgress(const QString& target, long long records)
{
    m_lblRecording->setText(
        QStringLiteral("Recording to %1: %2 %3")
            .arg(QFileInfo(target).fileName())
            .arg(records)
            .arg(records == 1 ? QStringLiteral("record") : QStringLiteral("records")));
    m_lblRecording->setToolTip(QDir::toNativeSeparators(target));
}

void PanelWindow::showRecordingSaved(const QString& target, long long records)
{
    statusBar()->showMessage(
        QStringLiteral("%1 %2 saved to %3")
            .arg(records)
            .arg(records == 1 ? QStringLiteral("record") : QStringLiteral("records"))
            .arg(QDir::toNativeSeparators(target)));
}

void PanelWindow::showSamplesLeftOut(long long count)
{
    m_lblLeftOut->setText(
        count == 0   ? QString()
        : count == 1 ? QStringLiteral("1 sample left out (set-up menu or overload)")
                     : QStringLiteral("%1 samples left out (set-up menu or overload)").arg(count));
}

void PanelWindow::showReadProgress(const QString& title, int percent)
{
    statusBar()->showMessage(QStringLiteral("Reading %1: %2 %").arg(title).arg(percent), 2000);
    // The window repaints and the live poll goes on; clicks wait until the file is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PanelWindow::toggleVersionCaption()
{
    const QString v800 = QStringLiteral("Panel   V8.00");
    setWindowTitle(windowTitle() != v800 ? v800 : QStringLiteral("Panel   V8.00   140516"));
}

void PanelWindow::closeEvent(QCloseEvent* event)
{
    // A running recording is stopped and saved first, or the close is cancelled.
    if (m_mayClose && !m_mayClose()) {
        event->ignore();
        return;
    }
    // Closing the panel ends the program, whatever other windows are open; the poll stops for
    // good.
    m_closingHold.emplace(m_runner.hold());
    event->accept();
    QApplication::closeAllWindows();
    QApplication::quit();
}

} // namespace panel
