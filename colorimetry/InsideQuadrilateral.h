#pragma once

namespace colorimetry {

// True when the point (px, py) lies inside the quadrilateral with corners P1..P4, given in any
// order, or on its boundary.
bool InsideQuadrilateral(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double px, double py);

} // namespace colorimetry
