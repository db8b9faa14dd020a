#include "plot/GraphRenderer.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace plot {

namespace {

constexpr double MarkerRadius = 6;
constexpr double TrailHalf = 2;
constexpr double ReferenceHalf = 7;

const QColor LiveColour(220, 30, 30);
const QColor LostColour(150, 150, 150);
const QColor ReferenceColour(0, 128, 0);
const QColor TrailColour(0, 90, 200);
const QColor AnsiColour(128, 128, 128);
const QColor UserColour(0, 0, 160);

QRectF frameRect(const Frame& f)
{
    return QRectF(QPointF(f.left, f.top()), QPointF(f.right(), f.bottom));
}

QPen pen(const QColor& colour, double width)
{
    QPen p(colour);
    p.setWidthF(width);
    return p;
}

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

void DrawGraphBackground(QImage& picture, const GraphViewport& viewport,
                         const std::vector<GraphRegion>& regions, int chosen, const QFont& font,
                         const QColor& background)
{
    picture.fill(background);
    QPainter painter(&picture);
    const Frame& f = viewport.frame();
    const AxisRanges ranges = viewport.ranges();
    // One step for both axes, so that both carry labels of the same precision.
    const double step = std::min(ranges.xMax - ranges.xMin, ranges.yMax - ranges.yMin) / 10;
    DrawAxes(painter, f, ranges, font,
             [step](double value) { return GraphAxisLabel(value, step); });
    const QRectF frame = frameRect(f);
    painter.fillRect(frame, Qt::white);
    DrawGrid(painter, f, PaletteColour(DefaultGridColour));

    painter.setClipRect(frame);
    const QRectF box = frame.adjusted(-64, -64, 64, 64);
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const bool isChosen = static_cast<int>(i) == chosen;
        // The chosen region last, over the others it shares sides with.
        if (isChosen)
            continue;
        painter.setPen(pen(regions[i].user ? UserColour : AnsiColour, 1));
        std::array<QPointF, 4> outline;
        for (std::size_t j = 0; j < 4; ++j)
            outline[j] = viewport.toPixel(regions[i].outline[j]);
        DrawOutline(painter, outline, box);
    }
    if (chosen >= 0 && chosen < static_cast<int>(regions.size())) {
        painter.setPen(pen(Qt::black, 2));
        std::array<QPointF, 4> outline;
        for (std::size_t j = 0; j < 4; ++j)
            outline[j] = viewport.toPixel(regions[static_cast<std::size_t>(chosen)].outline[j]);
        DrawOutline(painter, outline, box);
    }

    painter.setPen(pen(Qt::black, 1));
    DrawLoci(
        painter,
        [&viewport](double x, double y) {
            return viewport.toPixel({x, y});
        },
        box);
}

void DrawLiveMarker(QPainter& painter, QPointF pixel, bool current)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(pen(Qt::black, 1));
    painter.setBrush(current ? LiveColour : LostColour);
    painter.drawEllipse(pixel, MarkerRadius, MarkerRadius);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawGraphLive(QPainter& painter, const GraphViewport& viewport, const GraphModel& model)
{
    const std::optional<GraphReading>& last = model.last();
    if (!last)
        return;
    painter.save();
    painter.setClipRect(frameRect(viewport.frame()), Qt::IntersectClip);

    // The newest reading is the live marker itself; the trail fades from there.
    const Trail& trail = model.trail();
    const int count = trail.size();
    QColor colour = TrailColour;
    for (int age = 0; age + 1 < count; ++age) {
        const QPointF p = viewport.toPixel(trail.at(age));
        if (!finite(p))
            continue;
        colour.setAlpha(30 + 190 * (age + 1) / count);
        painter.fillRect(QRectF(p.x() - TrailHalf, p.y() - TrailHalf, 2 * TrailHalf, 2 * TrailHalf),
                         colour);
    }

    if (last->hasReference()) {
        const QPointF r = viewport.toPixel(last->reference);
        if (finite(r)) {
            painter.setPen(pen(ReferenceColour, 2));
            painter.drawLine(QPointF(r.x() - ReferenceHalf, r.y()),
                             QPointF(r.x() + ReferenceHalf, r.y()));
            painter.drawLine(QPointF(r.x(), r.y() - ReferenceHalf),
                             QPointF(r.x(), r.y() + ReferenceHalf));
        }
    }
    const QPointF live = viewport.toPixel(last->live);
    if (finite(live))
        DrawLiveMarker(painter, live, model.current());
    painter.restore();
}

QRect GraphLiveBounds(const GraphViewport& viewport, const GraphModel& model)
{
    const std::optional<GraphReading>& last = model.last();
    if (!last)
        return {};
    QRectF bounds;
    const auto add = [&bounds](QPointF p, double half) {
        if (finite(p))
            bounds |= QRectF(p.x() - half, p.y() - half, 2 * half, 2 * half);
    };
    const Trail& trail = model.trail();
    for (int age = 0; age < trail.size(); ++age)
        add(viewport.toPixel(trail.at(age)), TrailHalf + 1);
    if (last->hasReference())
        add(viewport.toPixel(last->reference), ReferenceHalf + 2);
    add(viewport.toPixel(last->live), MarkerRadius + 2);
    return bounds.intersected(frameRect(viewport.frame()).adjusted(-1, -1, 1, 1)).toAlignedRect();
}

} // namespace plot
