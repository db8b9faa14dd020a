#include "plot/GraphDiagram.h"

#include "colorimetry/LocusTables.h"

#include <algorithm>
#include <cmath>

namespace plot {

namespace {

// What zoom and pan allow: the frame spans between these widths of diagram units, and its centre
// stays within this square, so that the diagram can always be found again.
constexpr double NarrowestSpan = 0.002;
constexpr double WidestSpan = 2;
constexpr double CentreLimit = 1.5;

} // namespace

QPointF DiagramPoint(Diagram diagram, colorimetry::XY c)
{
    if (diagram == Diagram::XY)
        return {c.x, c.y};
    const colorimetry::UV uv = colorimetry::UvPrimeFromXY(c);
    return {uv.u, uv.v};
}

QString HorizontalAxisTitle(Diagram diagram)
{
    return diagram == Diagram::XY ? QStringLiteral("x") : QStringLiteral("u'");
}

QString VerticalAxisTitle(Diagram diagram)
{
    return diagram == Diagram::XY ? QStringLiteral("y") : QStringLiteral("v'");
}

Frame GraphFrame(QSizeF size)
{
    Frame frame;
    frame.left = 60;
    frame.bottom = size.height() - 27;
    frame.width = std::max(1.0, size.width() - 60 - 48);
    frame.height = std::max(1.0, size.height() - 27 - 14);
    return frame;
}

QString GraphAxisLabel(double value, double step)
{
    step = std::fabs(step);
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(value))
        return QStringLiteral("0.0");
    int decimals = std::max(1, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    // A step like 0.0025 needs one decimal more than its first digit says.
    const double scaled = step * std::pow(10.0, decimals);
    if (std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled)
        ++decimals;
    decimals = std::min(decimals, 6);
    // No "-0.000" for a value that is zero but for rounding.
    if (std::fabs(value) < step * 1e-6)
        value = 0;
    return QString::number(value, 'f', decimals);
}

GraphViewport::GraphViewport(Diagram diagram) : m_diagram(diagram)
{
    setSize(QSizeF(600, 500));
    fitWhole();
}

void GraphViewport::setDiagram(Diagram diagram)
{
    m_diagram = diagram;
    fitWhole();
}

void GraphViewport::setSize(QSizeF size)
{
    m_frame = GraphFrame(size);
    setView(m_centre, m_scale);
}

void GraphViewport::setView(QPointF centre, double pixelsPerUnit)
{
    const double lowest = m_frame.width / WidestSpan;
    const double highest = m_frame.width / NarrowestSpan;
    m_scale = std::isfinite(pixelsPerUnit) ? std::clamp(pixelsPerUnit, lowest, highest) : lowest;
    const auto hold = [](double v) {
        return std::isfinite(v) ? std::clamp(v, -CentreLimit, CentreLimit) : 0.0;
    };
    m_centre = QPointF(hold(centre.x()), hold(centre.y()));
}

QPointF GraphViewport::valueToPixel(QPointF value) const
{
    return {m_frame.left + m_frame.width / 2 + (value.x() - m_centre.x()) * m_scale,
            m_frame.bottom - m_frame.height / 2 - (value.y() - m_centre.y()) * m_scale};
}

QPointF GraphViewport::pixelToValue(QPointF pixel) const
{
    return {m_centre.x() + (pixel.x() - m_frame.left - m_frame.width / 2) / m_scale,
            m_centre.y() - (pixel.y() - m_frame.bottom + m_frame.height / 2) / m_scale};
}

AxisRanges GraphViewport::ranges() const
{
    const QPointF low = pixelToValue(QPointF(m_frame.left, m_frame.bottom));
    const QPointF high = pixelToValue(QPointF(m_frame.right(), m_frame.top()));
    return {low.x(), high.x(), low.y(), high.y()};
}

void GraphViewport::zoomAt(QPointF pixel, double factor)
{
    const QPointF held = pixelToValue(pixel);
    setView(m_centre, m_scale * factor);
    // Moves the centre so that the value held lands under the pixel again.
    const QPointF now = pixelToValue(pixel);
    setView(m_centre + (held - now), m_scale);
}

void GraphViewport::panBy(QPointF delta)
{
    setView(m_centre + QPointF(-delta.x() / m_scale, delta.y() / m_scale), m_scale);
}

void GraphViewport::fitWhole()
{
    QRectF values;
    for (const colorimetry::LocusRow& row : colorimetry::SpectralLocusTable) {
        if (row.key == 0)
            continue; // the empty last row
        const QPointF p = DiagramPoint(m_diagram, {row.x, row.y});
        values |= QRectF(p, QSizeF(1e-9, 1e-9));
    }
    fitValues(values.adjusted(-0.02, -0.02, 0.02, 0.02));
}

void GraphViewport::fit(const colorimetry::Quadrangle& region)
{
    QRectF values;
    for (const colorimetry::XY& corner : region)
        values |= QRectF(DiagramPoint(m_diagram, corner), QSizeF(1e-9, 1e-9));
    const double margin = std::max(values.width(), values.height()) / 4;
    fitValues(values.adjusted(-margin, -margin, margin, margin));
}

void GraphViewport::fitValues(const QRectF& values, double least)
{
    const double margin = std::max(values.width(), values.height()) / 4;
    QRectF box = values.adjusted(-margin, -margin, margin, margin);
    box.setSize(box.size().expandedTo(QSizeF(least, least)));
    box.moveCenter(values.center());
    fitValues(box);
}

void GraphViewport::fitValues(const QRectF& values)
{
    const double scale = std::min(m_frame.width / std::max(values.width(), 1e-9),
                                  m_frame.height / std::max(values.height(), 1e-9));
    setView(values.center(), scale);
}

} // namespace plot
