#include "panel/Toolbar.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <cmath>
#include <numbers>

namespace panel {

namespace {

constexpr int IconSize = 32;
constexpr int RecordingImage = 10;
const QString SaveKey = QStringLiteral("Save");
const QString SetupKey = QStringLiteral("Setup");

const QColor Ink(40, 48, 64);
const QColor Accent(36, 110, 190);
const QColor Warm(214, 72, 52);

QPen inkPen(qreal width = 2.0)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawSave(QPainter& p)
{
    // A diskette: body, shutter and label.
    p.setPen(inkPen());
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 5, 12, 8));
    p.drawRect(QRectF(9, 18, 14, 9));
}

void drawOpen(QPainter& p)
{
    // An opened folder.
    p.setPen(inkPen());
    p.setBrush(QColor(236, 196, 92));
    QPainterPath back;
    back.moveTo(4, 26);
    back.lineTo(4, 8);
    back.lineTo(12, 8);
    back.lineTo(14, 11);
    back.lineTo(26, 11);
    back.lineTo(26, 15);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(4, 26);
    front.lineTo(9, 15);
    front.lineTo(29, 15);
    front.lineTo(24, 26);
    front.closeSubpath();
    p.setBrush(QColor(248, 218, 128));
    p.drawPath(front);
}

void drawInterval(QPainter& p)
{
    // A stopwatch: sampling time.
    p.setPen(inkPen());
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 18), 10, 10);
    p.drawLine(QPointF(16, 8), QPointF(16, 5));
    p.drawLine(QPointF(13, 4), QPointF(19, 4));
    p.setPen(QPen(Warm, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 18), QPointF(21, 13));
}

void drawList(QPainter& p)
{
    // Bullets and lines of a listing.
    p.setPen(inkPen());
    for (int row = 0; row < 4; ++row) {
        const qreal y = 8 + row * 5.5;
        p.setBrush(Accent);
        p.drawEllipse(QPointF(7, y), 1.5, 1.5);
        p.drawLine(QPointF(12, y), QPointF(27, y));
    }
}

void drawGraph(QPainter& p)
{
    // Axes with a curve.
    p.setPen(inkPen());
    p.drawLine(QPointF(5, 4), QPointF(5, 27));
    p.drawLine(QPointF(5, 27), QPointF(28, 27));
    QPainterPath curve;
    curve.moveTo(7, 23);
    curve.cubicTo(12, 4, 18, 28, 27, 8);
    p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

void drawClock(QPainter& p)
{
    // A clock face with twelve ticks: the meter's clock.
    p.setPen(inkPen());
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 12, 12);
    for (int hour = 0; hour < 12; ++hour) {
        const double a = hour * std::numbers::pi / 6.0;
        p.drawPoint(QPointF(16 + 9.5 * std::sin(a), 16 - 9.5 * std::cos(a)));
    }
    p.drawLine(QPointF(16, 16), QPointF(16, 9));
    p.drawLine(QPointF(16, 16), QPointF(21, 18));
}

void drawLogger(QPainter& p)
{
    // A memory chip with its pins: the meter's data logger.
    p.setPen(inkPen(1.6));
    for (int pin = 0; pin < 4; ++pin) {
        const qreal x = 10 + pin * 4;
        p.drawLine(QPointF(x, 4), QPointF(x, 8));
        p.drawLine(QPointF(x, 24), QPointF(x, 28));
    }
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(6, 8, 20, 16), 2, 2);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(10, 14), QPointF(22, 14));
    p.drawLine(QPointF(10, 18), QPointF(18, 18));
}

void drawSetup(QPainter& p)
{
    // A gear.
    QPainterPath gear;
    constexpr int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a = i * std::numbers::pi / teeth;
        const double r = (i % 2 == 0) ? 13.0 : 9.5;
        const QPointF at(16 + r * std::cos(a), 16 + r * std::sin(a));
        if (i == 0)
            gear.moveTo(at);
        else
            gear.lineTo(at);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(16, 16), 4, 4);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(inkPen(1.5));
    p.setBrush(QColor(150, 160, 176));
    p.drawPath(gear);
}

void drawErase(QPainter& p)
{
    // A bin with a cross: the whole memory goes.
    p.setPen(inkPen());
    p.setBrush(Qt::white);
    p.drawLine(QPointF(6, 8), QPointF(26, 8));
    p.drawLine(QPointF(13, 8), QPointF(13, 5));
    p.drawLine(QPointF(13, 5), QPointF(19, 5));
    p.drawLine(QPointF(19, 5), QPointF(19, 8));
    p.drawRect(QRectF(8, 10, 16, 18));
    p.setPen(QPen(Warm, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 15), QPointF(20, 24));
    p.drawLine(QPointF(20, 15), QPointF(12, 24));
}

void drawChroma(QPainter& p)
{
    // The horseshoe of the spectral colours with a red dot; on button 1 the dot reads as
    // "recording".
    QPainterPath locus;
    locus.moveTo(9, 27);
    locus.cubicTo(2, 18, 6, 3, 12, 4);
    locus.cubicTo(18, 5, 25, 16, 28, 22);
    locus.closeSubpath();
    QLinearGradient fill(QPointF(4, 4), QPointF(28, 27));
    fill.setColorAt(0.0, QColor(90, 190, 110));
    fill.setColorAt(0.5, QColor(160, 200, 230));
    fill.setColorAt(1.0, QColor(232, 130, 120));
    p.setPen(inkPen(1.6));
    p.setBrush(fill);
    p.drawPath(locus);
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(Warm);
    p.drawEllipse(QPointF(15, 18), 4.5, 4.5);
}

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

QIcon ToolbarImage(int image)
{
    using Draw = void (*)(QPainter&);
    static const Draw draws[] = {drawSave,  drawOpen,   drawInterval, drawList,  drawGraph,
                                 drawClock, drawLogger, drawSetup,    drawErase, drawChroma};
    QIcon icon;
    if (image < 1 || image > 10)
        return icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(IconSize * scale, IconSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draws[image - 1](painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

MainToolbar::MainToolbar(std::function<bool()> recordOn, QWidget* parent)
    : QToolBar(parent), m_recordOn(std::move(recordOn))
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setMovable(false);
    setIconSize(QSize(IconSize, IconSize));
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

void MainToolbar::setPicSetup(QWidget* picSetup)
{
    m_picSetup = picSetup;
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
    if (key != SetupKey && m_picSetup)
        m_picSetup->hide();
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
