#pragma once

#include "colorimetry/Chromaticity.h"

#include <array>

namespace colorimetry {

// One nominal-CCT quadrangle of ANSI C78.377-2008 (chromaticity of solid-state lighting), as
// published.
struct AnsiQuadrangle
{
    int nominalCct = 0;   // K
    int targetCct = 0;    // K
    int cctTolerance = 0; // K, either side of the target
    double targetDuv = 0;
    double duvTolerance = 0; // either side of the target
    // 1 low CCT high Duv, 2 high CCT high Duv, 3 high CCT low Duv, 4 low CCT low Duv: an outline
    // in drawing order.
    Quadrangle corners;
};

// 2700, 3000, 3500, 4000, 4500, 5000, 5700 and 6500 K, in that order.
inline constexpr int AnsiQuadrangleCount = 8;
extern const std::array<AnsiQuadrangle, AnsiQuadrangleCount> AnsiQuadrangles;

} // namespace colorimetry
