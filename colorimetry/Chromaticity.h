#pragma once

#include <array>

namespace colorimetry {

// A CIE 1931 x, y chromaticity.
struct XY
{
    double x = 0;
    double y = 0;
};

// A point of a uniform chromaticity scale diagram: CIE 1976 u', v' or CIE 1960 u, v, as the
// function that returns it says.
struct UV
{
    double u = 0;
    double v = 0;
};

// Four corners in x, y.
using Quadrangle = std::array<XY, 4>;

// The conversions below never return NaN or infinity: where the denominator vanishes (a point
// far off the diagram, e.g. x 1.5, y 0), an input is not finite or a result overflows, they
// return (0, 0).

// CIE 1976 UCS: u' = 4x / (-2x + 12y + 3), v' = 9y / (-2x + 12y + 3).
UV UvPrimeFromXY(XY c);
// Back from u', v': x = 9u' / (6u' - 16v' + 12), y = 4v' / (6u' - 16v' + 12).
XY XYFromUvPrime(UV c);

// CIE 1960 UCS: u = 4x / (-2x + 12y + 3), v = 6y / (-2x + 12y + 3).
UV Uv1960FromXY(XY c);
// Back from u, v: x = 3u / (2u - 8v + 4), y = 2v / (2u - 8v + 4).
XY XYFromUv1960(UV c);

// The distance between two chromaticities in CIE 1976 u', v' (delta u'v'); a point that
// converts to (0, 0) above is taken as that.
double DeltaUvPrime(XY a, XY b);

} // namespace colorimetry
