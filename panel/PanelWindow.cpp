#include "panel/PanelWindow.h"

#include "link/MeterCommands.h"
#include "ui/ClickableLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace panel {

namespace {
const QString NoDevice = QStringLiteral("NoDevice Found!\"");
const QString ModelCaption = QStringLiteral("582");
} // namespace

PanelWindow::PanelWindow(ui::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_timer1(new QTimer(this)),
      m_lblCOM(new QLabel(this)), m_lblName(new QLabel(this)), m_picNoCom(new QFrame(this)),
      m_lblConnect(new ui::ClickableLabel(QStringLiteral("No Connection"), m_picNoCom)),
      m_pictureHost(new QWidget(this))
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
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_lblCOM);
    layout->addWidget(m_lblName);
    auto* noComLayout = new QVBoxLayout(m_picNoCom);
    noComLayout->addWidget(m_lblConnect);
    layout->addWidget(m_picNoCom);
    m_pictureHost->setObjectName(QStringLiteral("PictureHost"));
    new QVBoxLayout(m_pictureHost);
    layout->addWidget(m_pictureHost);
    m_picNoCom->hide();
    setCentralWidget(central);

    connect(m_timer1, &QTimer::timeout, this, &PanelWindow::PollMeter);
    connect(m_lblConnect, &ui::ClickableLabel::clicked, this, &PanelWindow::LblConnect_Click);
    m_services.link.setObserver(this);

    Form_Load();
    m_timer1->start();
}

PanelWindow::~PanelWindow() { m_services.link.setObserver(nullptr); }

void PanelWindow::Form_Load()
{
    // Errors here are ignored: the program runs without its start-up file.
    QDir().mkpath(m_services.paths.tempFolder());
    m_services.cmd.fileName = m_services.paths.startupFile();
    QFile startup(m_services.cmd.fileName);
    if (startup.open(QIODevice::WriteOnly | QIODevice::Truncate))
        startup.close();
    PCInterval = 1;
}

void PanelWindow::setPolling(bool on)
{
    if (on)
        m_timer1->start();
    else
        m_timer1->stop();
}

bool PanelWindow::polling() const { return m_timer1->isActive(); }

void PanelWindow::meterSearched(bool found) { m_picNoCom->setVisible(!found); }

void PanelWindow::readFailed(const std::string& reason)
{
    m_lblName->setText(QString::fromStdString(reason));
}

void PanelWindow::PollMeter()
{
    auto& link = m_services.link;
    link.OutputReport[0] = 0;
    link.OutputReport[1] = meterlink::meter::Poll;
    link.Exchange();
    if (!link.Connected()) {
        m_lblCOM->setText(NoDevice);
        return;
    }
    m_lblCOM->setText(ModelCaption);
    Frame frame{};
    std::copy_n(link.ReceivedReport.begin() + 1, 64, frame.begin());
    link.ReceiveOnly();
    std::copy_n(link.ReceivedReport.begin() + 1, 64, frame.begin() + 64);
}

void PanelWindow::LblConnect_Click()
{
    const QString v800 = QStringLiteral("Panel   V8.00");
    setWindowTitle(windowTitle() != v800 ? v800 : QStringLiteral("Panel   V8.00   140516"));
}

void PanelWindow::closeEvent(QCloseEvent* event)
{
    // Closing the panel ends the program, whatever other windows are open.
    m_timer1->stop();
    event->accept();
    QApplication::closeAllWindows();
    QApplication::quit();
}

} // namespace panel
