#include "colorimetry/Chromaticity.h"

#include "colorimetry/AnsiQuadrangles.h"
#include "colorimetry/Blackbody.h"
#include "colorimetry/LocusTables.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <utility>

namespace {

using namespace colorimetry;

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

double round4(double value)
{
    return std::round(value * 1e4) / 1e4;
}

// Worked by hand: equal energy gives u' = (4/3) / (19/3), v' = 3 / (19/3), v = 2 / (19/3); D65's
// denominator is -0.6254 + 3.948 + 3 = 6.3226. Where it vanishes, or for NaN or infinity, (0, 0).
TEST(Chromaticity, ConvertsBothWaysAndNeverReturnsNaN)
{
    const struct
    {
        XY xy;
        UV uvPrime;
        UV uv1960;
    } rows[] = {
        {{1.0 / 3, 1.0 / 3}, {4.0 / 19, 9.0 / 19}, {4.0 / 19, 6.0 / 19}},
        {{0.3127, 0.3290}, {1.2508 / 6.3226, 2.961 / 6.3226}, {1.2508 / 6.3226, 1.974 / 6.3226}},
        {{1.5, 0}, {0, 0}, {0, 0}},
        {{Nan, 0.3}, {0, 0}, {0, 0}},
        {{0.3, Inf}, {0, 0}, {0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.xy.x << ", " << row.xy.y);
        const UV p = UvPrimeFromXY(row.xy);
        const UV q = Uv1960FromXY(row.xy);
        EXPECT_NEAR(p.u, row.uvPrime.u, 1e-12);
        EXPECT_NEAR(p.v, row.uvPrime.v, 1e-12);
        EXPECT_NEAR(q.u, row.uv1960.u, 1e-12);
        EXPECT_NEAR(q.v, row.uv1960.v, 1e-12);
        if (p.u != 0) {
            EXPECT_NEAR(XYFromUvPrime(p).y, row.xy.y, 1e-12);
            EXPECT_NEAR(XYFromUv1960(q).x, row.xy.x, 1e-12);
        }
    }
    // The way back has its zero denominators at u' 0, v' 0.75 and u 0, v 0.5.
    EXPECT_EQ(XYFromUvPrime({0, 0.75}).x, 0);
    EXPECT_EQ(XYFromUv1960({0, 0.5}).y, 0);
    // hypot(4/19 - 0.19783, 9/19 - 0.46832) = hypot(0.012696, 0.005364)
    EXPECT_EQ(round4(DeltaUvPrime({0.3127, 0.3290}, {1.0 / 3, 1.0 / 3})), 0.0138);
}

// The built-in Planckian locus is Planck's law over the table's own band, to its four decimals:
// a mistyped digit in the table shows here.
TEST(Blackbody, ReproducesEveryRowOfTheBuiltInLocusAndStepsTowardsGreen)
{
    for (const auto& row : PlanckianLocusTable) {
        const XY c = BlackbodyXY(row.key, LocusTableBand);
        EXPECT_EQ(round4(c.x), row.x) << row.key << " K";
        EXPECT_EQ(round4(c.y), row.y) << row.key << " K";
    }
    // D65 is published at 6504 K and Duv +0.0032, above the locus.
    EXPECT_NEAR(CctDuvPoint(6504, 0.0032).x, 0.3127, 0.0001);
    EXPECT_NEAR(CctDuvPoint(6504, 0.0032).y, 0.3290, 0.0001);
    for (const double bad : {0.0, -300.0, 10.0, Nan, Inf}) {
        EXPECT_EQ(BlackbodyXY(bad).x, 0) << bad;
        EXPECT_EQ(CctDuvPoint(bad, 0.001).y, 0) << bad;
    }
    EXPECT_EQ(CctDuvPoint(3000, Nan).x, 0);
}

// The built-in spectral locus is x = x̄ / (x̄ + ȳ + z̄), y = ȳ / (x̄ + ȳ + z̄) of the committed
// colour-matching table at every wavelength, to its four decimals; and that table is the CIE's
// 1 nm data: its sums, added row by row in double precision, are those of the published table
// (computed from it once; the data file itself is not kept here). The running sums also catch
// rows out of order. A mistyped digit in either table shows here.
TEST(SpectralLocus, IsTheObserversChromaticityAtEveryWavelength)
{
    const std::array<std::pair<double, double>, 3> published = {{
        {0x1.ab763da245fb9p+6, 0x1.b0e19fe0e67b2p+14},
        {0x1.ab6d7bad33ab0p+6, 0x1.c426e37c74ef3p+14},
        {0x1.ab91aa51b6390p+6, 0x1.3ac7130730a1ep+15},
    }};
    std::array<std::pair<double, double>, 3> sums{};
    for (int i = 0; i < ColourMatchingRows; ++i) {
        const ColourMatchingRow& row = ColourMatchingTable[static_cast<std::size_t>(i)];
        ASSERT_EQ(row.nm, 360 + i);
        const double values[] = {row.xbar, row.ybar, row.zbar};
        for (std::size_t c = 0; c < 3; ++c) {
            sums[c].first += values[c];
            sums[c].second += sums[c].first; // additions only: the same on every machine
        }
    }
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(sums[c].first, published[c].first) << "column " << c;
        EXPECT_EQ(sums[c].second, published[c].second) << "column " << c;
    }

    for (std::size_t i = 0; i <= 400; ++i) {
        const LocusRow& row = SpectralLocusTable[i];
        const ColourMatchingRow& cmf = ColourMatchingTable[20 + i];
        const double total = cmf.xbar + cmf.ybar + cmf.zbar;
        ASSERT_EQ(row.key, cmf.nm);
        EXPECT_EQ(round4(cmf.xbar / total), row.x) << row.key << " nm";
        EXPECT_EQ(round4(cmf.ybar / total), row.y) << row.key << " nm";
    }
    const LocusRow& closing = SpectralLocusTable[401];
    EXPECT_EQ(
        std::tie(closing.key, closing.x, closing.y),
        std::tie(SpectralLocusTable[0].key, SpectralLocusTable[0].x, SpectralLocusTable[0].y));
    EXPECT_EQ(SpectralLocusTable[402].key, 0);
}

// The published corners against those computed from each quadrangle's limits: a mistyped digit
// or a corner out of order moves a corner by far more than the 0.003 allowed.
TEST(AnsiQuadrangles, PublishedCornersFollowFromTheirLimits)
{
    for (const AnsiQuadrangle& q : AnsiQuadrangles) {
        const int cct[] = {q.targetCct - q.cctTolerance, q.targetCct + q.cctTolerance};
        const double duv[] = {q.targetDuv - q.duvTolerance, q.targetDuv + q.duvTolerance};
        const Quadrangle computed = QuadrangleFromLimits(cct[0], cct[1], duv[0], duv[1]);
        const Quadrangle swapped = QuadrangleFromLimits(cct[1], cct[0], duv[1], duv[0]);
        for (std::size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << q.nominalCct << " K corner " << i + 1);
            EXPECT_NEAR(computed[i].x, q.corners[i].x, 0.003);
            EXPECT_NEAR(computed[i].y, q.corners[i].y, 0.003);
            EXPECT_EQ(swapped[i].x, computed[i].x);
        }
    }
}

} // namespace
