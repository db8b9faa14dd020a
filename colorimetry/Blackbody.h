#pragma once

#include "colorimetry/Chromaticity.h"

#include <array>

namespace colorimetry {

// The CIE 1931 2 degree colour-matching functions at one wavelength.
struct ColourMatchingRow
{
    int nm = 0;
    double xbar = 0;
    double ybar = 0;
    double zbar = 0;
};

// 360 to 830 nm in 1 nm steps: row i holds 360 + i nm.
inline constexpr int ColourMatchingRows = 471;
extern const std::array<ColourMatchingRow, ColourMatchingRows> ColourMatchingTable;

// The wavelengths, in nm and both ends included, that Planck's law is summed over.
struct Band
{
    int firstNm = 0;
    int lastNm = 0;
};

// The band of the built-in Planckian locus: the sums round to its four decimals.
inline constexpr Band LocusTableBand{380, 780};
// The whole observer: the band the CCT and Duv limits of the ANSI quadrangles rest on.
inline constexpr Band ObserverBand{360, 830};

// The chromaticity of a blackbody at `kelvin`: Planck's law (c2 = 1.4388e-2 m K) weighted by the
// colour-matching functions and summed in 1 nm steps over `band` (within 360 to 830 nm).
// (0, 0) for a temperature that is not finite and positive, or too low for any radiation to
// register in the sums (below about 25 K).
XY BlackbodyXY(double kelvin, Band band = ObserverBand);

// The chromaticity at correlated colour temperature `kelvin` and distance `duv` from the
// Planckian locus: the locus point at `kelvin` in CIE 1960 u, v (summed over the whole observer),
// stepped by `duv` along the locus normal, positive above the locus (towards green), converted
// to x, y. (0, 0) where BlackbodyXY gives it, or for a `duv` that is not finite.
XY CctDuvPoint(double kelvin, double duv);

// The quadrangle between two correlated colour temperatures and two Duv limits, each pair in
// either order, with its corners in the order of the ANSI table: 1 low CCT high Duv, 2 high CCT
// high Duv, 3 high CCT low Duv, 4 low CCT low Duv. The sides are straight in x, y, as the
// published quadrangles are drawn.
Quadrangle QuadrangleFromLimits(double cctFrom, double cctTo, double duvFrom, double duvTo);

} // namespace colorimetry
