#pragma once

#include "colorimetry/Chromaticity.h"

namespace colorimetry {

// The corners of a region, typed in any order, in the order the plot draws its outline: a
// closed four-sided figure whose sides do not cross (outline[0]-[1]-[2]-[3]-[0]). Two side tests
// choose it: if corners 3 and 4 are not strictly on one side of the line 1-2, that line is a
// diagonal (1-3-2-4); otherwise, if corners 1 and 4 lie strictly on one side of the line 2-3,
// the corners already run round (1-2-3-4); else 1-2-4-3. Testing a point against this outline
// therefore agrees with what the plot shows, also for a concave region. When three corners lie
// exactly on one line the region is a triangle, and the outline is the one enclosing it whole.
Quadrangle RegionOutline(const Quadrangle& corners);

// True when `point` lies inside the region bounded by outline[0]-[1]-[2]-[3]-[0] or on its
// boundary; right for convex and concave outlines whose sides do not cross. A point closer to a
// side than a billionth of the region's size counts as on it, so a point computed on a side
// passes. False when any coordinate is not finite.
bool InsideRegion(const Quadrangle& outline, XY point);

} // namespace colorimetry
