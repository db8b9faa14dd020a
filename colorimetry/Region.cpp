#include "colorimetry/Region.h"

#include <algorithm>
#include <cmath>

namespace colorimetry {

namespace {

double cross(XY a, XY b, XY c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double distanceToSide(XY a, XY b, XY q)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    const double t =
        squared > 0 ? std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / squared, 0.0, 1.0) : 0.0;
    return std::hypot(q.x - (a.x + t * dx), q.y - (a.y + t * dy));
}

double twiceArea(const Quadrangle& q)
{
    double sum = 0;
    for (std::size_t i = 0; i < q.size(); ++i) {
        const XY& a = q[i];
        const XY& b = q[(i + 1) % q.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

} // namespace

Quadrangle RegionOutline(const Quadrangle& c)
{
    const double side2 = cross(c[0], c[1], c[2]);
    const double side3 = cross(c[0], c[1], c[3]);
    const double across = cross(c[1], c[2], c[3]);
    Quadrangle outline = {c[0], c[1], c[3], c[2]};
    if (side2 * side3 <= 0)
        outline = {c[0], c[2], c[1], c[3]};
    else if (cross(c[1], c[2], c[0]) * across > 0)
        outline = c;
    // Three corners on one line (a triangle typed with a corner on a side, a flat side typed
    // with equal values) leave the side tests undecided, and their answer can cut the triangle
    // in half: of the three outlines, the one that encloses the most is the triangle.
    if (side2 == 0 || side3 == 0 || across == 0 || cross(c[0], c[2], c[3]) == 0) {
        for (const Quadrangle& other :
             {c, Quadrangle{c[0], c[2], c[1], c[3]}, Quadrangle{c[0], c[1], c[3], c[2]}})
            if (std::abs(twiceArea(other)) > std::abs(twiceArea(outline)))
                outline = other;
    }
    return outline;
}

bool InsideRegion(const Quadrangle& outline, XY point)
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return false;
    double minX = outline[0].x;
    double maxX = minX;
    double minY = outline[0].y;
    double maxY = minY;
    for (const XY& c : outline) {
        if (!std::isfinite(c.x) || !std::isfinite(c.y))
            return false;
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    const double tolerance = 1e-9 * std::max(maxX - minX, maxY - minY);

    // On a side, or else inside by the count of sides a ray to the right crosses; each side
    // counts its lower end and not its upper one, so a ray through a corner counts once.
    bool inside = false;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const XY a = outline[i];
        const XY b = outline[(i + 1) % outline.size()];
        if (distanceToSide(a, b, point) <= tolerance)
            return true;
        if ((a.y > point.y) != (b.y > point.y)) {
            const double crossingX = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (point.x < crossingX)
                inside = !inside;
        }
    }
    return inside;
}

} // namespace colorimetry
