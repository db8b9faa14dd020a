#pragma once

#include "plot/AxisTicks.h"
#include "plot/GraphDiagram.h"
#include "plot/GraphModel.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <array>
#include <optional>
#include <vector>

class QFont;
class QPainter;

namespace plot {

// The graph's kept background, as big as the view: axes at round steps with their labels and
// titles, the white frame with its grid, every region (the chosen one bold) and both loci. Drawn
// again only when the view, the diagram or the regions change. Returns the axes as laid out.
TickedAxes DrawGraphBackground(QImage& picture, const GraphViewport& viewport,
                               const std::vector<GraphRegion>& regions, int chosen,
                               const QFont& font, const QColor& background);

// The same onto any painter (a page, a vector picture) whose drawing is `picture` big, over
// what it holds.
TickedAxes DrawGraphDiagram(QPainter& painter, QSizeF picture, const GraphViewport& viewport,
                            const std::vector<GraphRegion>& regions, int chosen, const QFont& font);

// The live marker at `pixel`: red while the reading is current, grey once it is not.
void DrawLiveMarker(QPainter& painter, QPointF pixel, bool current);

// The picture of the graph view and what a new reading changes in it: the kept background and,
// over it, the live layer (the trail, older readings fainter, the reference marker and the live
// marker, inside the frame). The trail is kept over a copy of the background, its small dots
// blended there as a reading comes; a repaint shows that copy in one blit and draws the markers
// over it. The window's view paints through this, and so does its benchmark.
class GraphPicture
{
public:
    // Draws the background for a view of `size` again: the view, the diagram or the regions
    // changed. The whole view wants repainting.
    void drawBackground(QSize size, const GraphViewport& viewport, const GraphModel& model,
                        const QFont& font, const QColor& colour);
    // The model's reading changed, after each showReading() or showNoReading(): the rectangle
    // to repaint, which holds what the live layer covered before and what it covers now.
    QRect liveChanged(const GraphViewport& viewport, const GraphModel& model);
    // Paints the view inside `exposed`, the painter clipped to it as in a paint event, with the
    // live layer as the last drawBackground() or liveChanged() found it.
    void paint(QPainter& painter, const QRect& exposed);

    const QImage& background() const { return m_background; }
    // The axes of the background as last drawn.
    const TickedAxes& axes() const { return m_axes; }

private:
    struct Dot
    {
        QRect pixels; // inside the frame
        int age;      // 0 the oldest reading of the trail
    };
    // Works out where the live layer lies in the view and the pixels it covers, and puts the
    // trail over the background in place of the old one. `joined`: the model's trail has taken
    // one reading since, the view staying as it was.
    void placeLive(const GraphViewport& viewport, const GraphModel& model, bool joined);
    // The pixels of a trail dot centred on `p`; nothing when none lies in the frame.
    std::optional<QRect> dotAt(QPointF p) const;
    // The reference marker at `at`, drawn once into a picture of its own: the reference seldom
    // moves, and showing the picture costs less than stroking the cross each time.
    void drawCross(QPointF at);

    QImage m_background;
    TickedAxes m_axes;
    QImage m_composed; // the background with the trail over it
    QRect m_frame;
    std::array<Dot, Trail::Length> m_trail; // the first m_dots, oldest first
    int m_dots = 0;
    int m_trailCount = 0; // readings of the trail as placed
    std::optional<QPointF> m_reference;
    QImage m_cross; // the reference marker at m_crossAt, its top left corner at m_crossCorner
    QPointF m_crossAt;
    QPoint m_crossCorner;
    std::optional<QPointF> m_live;
    std::optional<colorimetry::XY> m_liveReading; // the reading m_live shows
    bool m_current = false;
    bool m_markersInside = false; // wholly inside the frame
    QRect m_liveBounds;
};

} // namespace plot
