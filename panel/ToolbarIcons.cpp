#include "panel/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace panel {

namespace {

const QColor Ink(40, 48, 64);
const QColor Accent(36, 110, 190);
const QColor Warm(214, 72, 52);

QPen InkPen(qreal width = 2.0)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawSave(QPainter& p)
{
    // A diskette: body, shutter and label.
    p.setPen(InkPen());
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 5, 12, 8));
    p.drawRect(QRectF(9, 18, 14, 9));
}

void DrawOpen(QPainter& p)
{
    // An opened folder.
    p.setPen(InkPen());
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

void DrawInterval(QPainter& p)
{
    // A stopwatch: sampling time.
    p.setPen(InkPen());
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 18), 10, 10);
    p.drawLine(QPointF(16, 8), QPointF(16, 5));
    p.drawLine(QPointF(13, 4), QPointF(19, 4));
    p.setPen(QPen(Warm, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 18), QPointF(21, 13));
}

void DrawList(QPainter& p)
{
    // Bullets and lines of a listing.
    p.setPen(InkPen());
    for (int row = 0; row < 4; ++row) {
        const qreal y = 8 + row * 5.5;
        p.setBrush(Accent);
        p.drawEllipse(QPointF(7, y), 1.5, 1.5);
        p.drawLine(QPointF(12, y), QPointF(27, y));
    }
}

void DrawGraph(QPainter& p)
{
    // Axes with a curve.
    p.setPen(InkPen());
    p.drawLine(QPointF(5, 4), QPointF(5, 27));
    p.drawLine(QPointF(5, 27), QPointF(28, 27));
    QPainterPath curve;
    curve.moveTo(7, 23);
    curve.cubicTo(12, 4, 18, 28, 27, 8);
    p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

void DrawClock(QPainter& p)
{
    // A clock face with twelve ticks: the meter's clock.
    p.setPen(InkPen());
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 12, 12);
    for (int hour = 0; hour < 12; ++hour) {
        const double a = hour * std::numbers::pi / 6.0;
        p.drawPoint(QPointF(16 + 9.5 * std::sin(a), 16 - 9.5 * std::cos(a)));
    }
    p.drawLine(QPointF(16, 16), QPointF(16, 9));
    p.drawLine(QPointF(16, 16), QPointF(21, 18));
}

void DrawLogger(QPainter& p)
{
    // A memory chip with its pins: the meter's data logger.
    p.setPen(InkPen(1.6));
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

void DrawSetup(QPainter& p)
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
    p.setPen(InkPen(1.5));
    p.setBrush(QColor(150, 160, 176));
    p.drawPath(gear);
}

void DrawErase(QPainter& p)
{
    // A bin with a cross: the whole memory goes.
    p.setPen(InkPen());
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

void DrawChroma(QPainter& p)
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
    p.setPen(InkPen(1.6));
    p.setBrush(fill);
    p.drawPath(locus);
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(Warm);
    p.drawEllipse(QPointF(15, 18), 4.5, 4.5);
}

} // namespace

QIcon ToolbarImage(int image)
{
    using Draw = void (*)(QPainter&);
    static const Draw draws[] = {DrawSave,  DrawOpen,   DrawInterval, DrawList,  DrawGraph,
                                 DrawClock, DrawLogger, DrawSetup,    DrawErase, DrawChroma};
    QIcon icon;
    if (image < 1 || image > ToolbarImageCount)
        return icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(ToolbarIconSize * scale, ToolbarIconSize * scale);
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

} // namespace panel
