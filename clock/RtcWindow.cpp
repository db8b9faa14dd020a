#include "clock/RtcWindow.h"

#include "clock/ClockTexts.h"
#include "ui/ClickableLabel.h"
#include "ui/WindowPlace.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace meterclock {

namespace {
const QString MeterTitle = QStringLiteral("Meter Time");
const QString PCTitle = QStringLiteral("PC System Time");
// Shown instead of a stale answer when the meter does not answer the read.
const QString NoMeterTime = QStringLiteral("--/--/-- --:--:--");
} // namespace

RtcWindow::RtcWindow(meterlink::SequenceRunner& runner, const ui::Clock& clock, QWidget* mainWindow)
    : QDialog(mainWindow), m_runner(runner), m_clock(clock), m_mainWindow(mainWindow),
      m_refreshTimer(new QTimer(this)), m_lblMeterTime(new ui::ClickableLabel(MeterTitle)),
      m_lblPCTime(new ui::ClickableLabel(PCTitle)),
      m_cmdSetTime(new QPushButton(QStringLiteral("Set Meter Time To System Time"))),
      m_cmdExit(new QPushButton(QStringLiteral("Exit")))
{
    setObjectName(QStringLiteral("RTC"));
    setWindowTitle(QStringLiteral("Setup"));
    m_refreshTimer->setObjectName(QStringLiteral("Timer1"));
    m_refreshTimer->setInterval(RefreshMs);
    m_lblMeterTime->setObjectName(QStringLiteral("LblMeterTime"));
    m_lblPCTime->setObjectName(QStringLiteral("LblPCTime"));
    m_cmdSetTime->setObjectName(QStringLiteral("CmdSetTime"));
    m_cmdExit->setObjectName(QStringLiteral("CmdExit"));

    auto* frameTime = new QGroupBox(QStringLiteral("Time"));
    frameTime->setObjectName(QStringLiteral("FrameTime"));
    auto* labels = new QHBoxLayout(frameTime);
    // Clock digits in a fixed-width face, large enough to read across the bench.
    QFont clockFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    clockFont.setPointSizeF(clockFont.pointSizeF() * 1.4);
    const QFontMetrics clockMetrics(clockFont);
    for (auto* label : {m_lblMeterTime, m_lblPCTime}) {
        label->setFont(clockFont);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumSize(clockMetrics.horizontalAdvance(QStringLiteral("00/00/00 00:00:00")) +
                                  24,
                              clockMetrics.height() * 2);
        label->setToolTip(QStringLiteral("Click to show or hide the time"));
        label->setCursor(Qt::PointingHandCursor);
        labels->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSetTime);
    buttons->addWidget(m_cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameTime);
    layout->addLayout(buttons);

    connect(m_refreshTimer, &QTimer::timeout, this, &RtcWindow::refreshClocks);
    connect(m_lblMeterTime, &ui::ClickableLabel::clicked, this, &RtcWindow::toggleMeterTime);
    connect(m_lblPCTime, &ui::ClickableLabel::clicked, this, &RtcWindow::togglePcTime);
    connect(m_cmdSetTime, &QPushButton::clicked, this, &RtcWindow::setMeterTime);
    connect(m_cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void RtcWindow::prepare()
{
    if (m_mainWindow) {
        adjustSize();
        ui::PlaceRemembered(*this, QStringLiteral("RTC"),
                            RtcPosition(m_mainWindow->frameGeometry(), frameGeometry().width(),
                                        m_mainWindow->logicalDpiY()),
                            *m_mainWindow);
    }
    m_showMeterTime = false;
    m_showPcTime = false;
    m_lblMeterTime->setText(MeterTitle);
    m_lblPCTime->setText(PCTitle);
    m_refreshTimer->start();
}

void RtcWindow::finish()
{
    ui::RememberPlace(*this, QStringLiteral("RTC"));
    m_refreshTimer->stop();
    // The acknowledgement of a set clock may still be on its way: it must not be taken for a
    // frame once the poll runs again.
    m_runner.drain();
    m_pollHold.reset();
}

void RtcWindow::toggleMeterTime()
{
    m_showMeterTime = !m_showMeterTime;
}

void RtcWindow::togglePcTime()
{
    m_showPcTime = !m_showPcTime;
}

void RtcWindow::refreshClocks()
{
    if (m_showMeterTime) {
        if (!m_pollHold)
            m_pollHold.emplace(m_runner.hold());
        m_lblMeterTime->setText(ReadMeterTime(m_runner).value_or(NoMeterTime));
    } else {
        m_lblMeterTime->setText(MeterTitle);
    }
    m_lblPCTime->setText(m_showPcTime ? PCTimeText(m_clock.now(), SystemSeparators()) : PCTitle);
}

void RtcWindow::setMeterTime()
{
    m_refreshTimer->stop();
    // One reading of the clock gives both date and time.
    const QString text = PCTimeText(m_clock.now(), SystemSeparators());
    SetMeterClock(m_runner, ClockFields(text));
    m_refreshTimer->start();
}

void ShowRtc(meterlink::SequenceRunner& runner, const ui::Clock& clock, ui::Dialogs& dialogs,
             QWidget* mainWindow)
{
    RtcWindow window(runner, clock, mainWindow);
    window.prepare();
    dialogs.runModal(window);
    window.finish();
}

} // namespace meterclock
