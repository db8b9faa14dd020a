#include "colorimetry/Blackbody.h"

#include <algorithm>
#include <cmath>

namespace colorimetry {

namespace {

constexpr double C2 = 1.4388e-2; // second radiation constant, m K

UV locusUv(double kelvin)
{
    return Uv1960FromXY(BlackbodyXY(kelvin, ObserverBand));
}

} // namespace

XY BlackbodyXY(double kelvin, Band band)
{
    if (!std::isfinite(kelvin) || !(kelvin > 0))
        return {};
    const int first = std::max(band.firstNm, ColourMatchingTable.front().nm);
    const int last = std::min(band.lastNm, ColourMatchingTable.back().nm);
    double sx = 0;
    double sy = 0;
    double sz = 0;
    for (int nm = first; nm <= last; ++nm) {
        const ColourMatchingRow& row = ColourMatchingTable[nm - ColourMatchingTable.front().nm];
        const double metres = nm * 1e-9;
        // Relative spectral exitance; the first radiation constant cancels in x and y.
        const double exitance = std::pow(metres, -5) / std::expm1(C2 / (metres * kelvin));
        sx += exitance * row.xbar;
        sy += exitance * row.ybar;
        sz += exitance * row.zbar;
    }
    const double total = sx + sy + sz;
    if (!(total > 0) || !std::isfinite(total))
        return {};
    return {sx / total, sy / total};
}

XY CctDuvPoint(double kelvin, double duv)
{
    const UV onLocus = locusUv(kelvin);
    // The tangent from a central difference; the step is small against the locus's bend.
    const double step = kelvin * 1e-4;
    const UV warmer = locusUv(kelvin - step);
    const UV cooler = locusUv(kelvin + step);
    const double du = cooler.u - warmer.u;
    const double dv = cooler.v - warmer.v;
    const double length = std::hypot(du, dv);
    // Rising temperature runs towards smaller u, so (dv, -du) points up, towards green.
    return XYFromUv1960({onLocus.u + duv * dv / length, onLocus.v - duv * du / length});
}

Quadrangle QuadrangleFromLimits(double cctFrom, double cctTo, double duvFrom, double duvTo)
{
    const double lowCct = std::min(cctFrom, cctTo);
    const double highCct = std::max(cctFrom, cctTo);
    const double lowDuv = std::min(duvFrom, duvTo);
    const double highDuv = std::max(duvFrom, duvTo);
    return {CctDuvPoint(lowCct, highDuv), CctDuvPoint(highCct, highDuv),
            CctDuvPoint(highCct, lowDuv), CctDuvPoint(lowCct, lowDuv)};
}

} // namespace colorimetry
