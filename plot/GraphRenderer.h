#pragma once

#include "plot/GraphDiagram.h"
#include "plot/GraphModel.h"

#include <QColor>
#include <QRect>
#include <vector>

class QFont;
class QImage;
class QPainter;

namespace plot {

// The graph's kept background, as big as the view: axes, labels, the white frame with its grid,
// every region (the chosen one bold) and both loci. Drawn again only when the view, the diagram
// or the regions change.
void DrawGraphBackground(QImage& picture, const GraphViewport& viewport,
                         const std::vector<GraphRegion>& regions, int chosen, const QFont& font,
                         const QColor& background);

// The live layer over the background, inside the frame: the trail, older readings fainter, the
// reference marker and the live marker.
void DrawGraphLive(QPainter& painter, const GraphViewport& viewport, const GraphModel& model);

// The live marker at `pixel`: red while the reading is current, grey once it is not.
void DrawLiveMarker(QPainter& painter, QPointF pixel, bool current);

// The view pixels the live layer covers. A change repaints what it covered before and after.
QRect GraphLiveBounds(const GraphViewport& viewport, const GraphModel& model);

} // namespace plot
