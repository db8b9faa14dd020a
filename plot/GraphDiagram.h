#pragma once

#include "colorimetry/Chromaticity.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotRenderer.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace plot {

// The diagram the graph shows: CIE 1931 x, y or CIE 1976 u', v'.
enum class Diagram
{
    XY,
    UV
};

// Where a chromaticity lies on the diagram. The map to u', v' is projective: straight lines
// stay straight, so an outline is mapped by its corners.
QPointF DiagramPoint(Diagram diagram, colorimetry::XY c);

// The titles of the diagram's horizontal and vertical axes: "x" and "y", or "u'" and "v'".
QString HorizontalAxisTitle(Diagram diagram);
QString VerticalAxisTitle(Diagram diagram);

// The frame of the graph in a view of `size` pixels: room for the labels left of and below it
// as on the plot, and for the last label right of it.
Frame GraphFrame(QSizeF size);

// The axis label of a value on an axis whose labels are `step` apart: as many decimals as tell
// neighbouring labels apart (0.3, 0.31, 0.305), at least one.
QString GraphAxisLabel(double value, double step);

// The part of the diagram the graph shows: the frame in view pixels, the diagram value at the
// frame's centre and the pixels per diagram unit, the same on both axes so that shapes keep
// their proportions. Zoom and pan stay within limits that keep the diagram in reach.
class GraphViewport
{
public:
    explicit GraphViewport(Diagram diagram = Diagram::XY);

    Diagram diagram() const { return m_diagram; }
    // Another diagram: shows the whole of it.
    void setDiagram(Diagram diagram);
    // A new view size: the frame follows, centre and scale stay.
    void setSize(QSizeF size);
    const Frame& frame() const { return m_frame; }
    // Pixels per diagram unit.
    double scale() const { return m_scale; }
    void setView(QPointF centre, double pixelsPerUnit);

    QPointF toPixel(colorimetry::XY c) const { return valueToPixel(DiagramPoint(m_diagram, c)); }
    QPointF valueToPixel(QPointF value) const;
    QPointF pixelToValue(QPointF pixel) const;
    AxisRanges ranges() const;

    // The mouse wheel: zooms in by `factor` (out below 1), the value under `pixel` staying put.
    void zoomAt(QPointF pixel, double factor);
    // Dragging: the diagram follows the mouse by `delta` pixels.
    void panBy(QPointF delta);
    // The whole diagram: the spectral locus with a margin.
    void fitWhole();
    // A region (x, y corners) with a margin of a quarter of its size around it.
    void fit(const colorimetry::Quadrangle& region);
    // Diagram values (not x, y) with the same margin, spanning at least `least` both ways.
    void fitValues(const QRectF& values, double least);

private:
    void fitValues(const QRectF& values);

    Diagram m_diagram;
    Frame m_frame;
    QPointF m_centre;
    double m_scale = 1;
};

} // namespace plot
