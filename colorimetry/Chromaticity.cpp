#include "colorimetry/Chromaticity.h"

#include <cmath>

namespace colorimetry {

namespace {

// (a / d, b / d), or (0, 0) where that is not a finite point.
UV divided(double a, double b, double d)
{
    const double first = a / d;
    const double second = b / d;
    if (!std::isfinite(first) || !std::isfinite(second))
        return {};
    return {first, second};
}

} // namespace

UV UvPrimeFromXY(XY c)
{
    return divided(4 * c.x, 9 * c.y, -2 * c.x + 12 * c.y + 3);
}

XY XYFromUvPrime(UV c)
{
    const UV xy = divided(9 * c.u, 4 * c.v, 6 * c.u - 16 * c.v + 12);
    return {xy.u, xy.v};
}

UV Uv1960FromXY(XY c)
{
    return divided(4 * c.x, 6 * c.y, -2 * c.x + 12 * c.y + 3);
}

XY XYFromUv1960(UV c)
{
    const UV xy = divided(3 * c.u, 2 * c.v, 2 * c.u - 8 * c.v + 4);
    return {xy.u, xy.v};
}

double DeltaUvPrime(XY a, XY b)
{
    const UV p = UvPrimeFromXY(a);
    const UV q = UvPrimeFromXY(b);
    return std::hypot(p.u - q.u, p.v - q.v);
}

} // namespace colorimetry
