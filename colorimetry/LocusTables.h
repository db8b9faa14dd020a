#pragma once

#include <array>
#include <cstdint>

namespace colorimetry {

// One row of a locus table: what the row stands for (wavelength in nm, or temperature in K)
// and its CIE 1931 x, y chromaticity.
struct LocusRow
{
    std::int16_t key = 0;
    double x = 0;
    double y = 0;
};

// Spectral locus, 380 to 780 nm in 1 nm steps (rows 0..400); row 401 repeats row 0 to close
// the curve with the line of purples; row 402 stays empty.
inline constexpr int SpectralLocusRows = 403;
extern const std::array<LocusRow, SpectralLocusRows> SpectralLocusTable;

// Planckian locus from 1000 K to 20000 K, low to high temperature (411 rows).
inline constexpr int PlanckianLocusRows = 411;
extern const std::array<LocusRow, PlanckianLocusRows> PlanckianLocusTable;

} // namespace colorimetry
