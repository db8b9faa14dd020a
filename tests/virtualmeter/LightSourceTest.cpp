#include "virtualmeter/LightSource.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using virtualmeter::Light;
using virtualmeter::measure;

struct LocusRow
{
    double tcp;
    double x; // on the locus
    double y;
    double duv; // then moved off it by this much
};

class Lamp : public testing::TestWithParam<LocusRow>
{
};

TEST_P(Lamp, SitsOnThePlanckianLocusAndDeltaUvMovesItOff)
{
    const auto& row = GetParam();
    const auto on = measure(Light{row.tcp, 0.0, 350.0});
    EXPECT_NEAR(on.x, row.x, 0.0008);
    EXPECT_NEAR(on.y, row.y, 0.0008);
    const auto off = measure(Light{row.tcp, row.duv, 350.0});
    EXPECT_DOUBLE_EQ(off.Ev, 350.0);
    EXPECT_NEAR(off.X / (off.X + off.Y + off.Z), off.x, 1e-12);
    // delta-uv is the distance in u, v' * 2/3, positive above the locus
    EXPECT_NEAR(std::hypot(off.u - on.u, (off.v - on.v) / 1.5), std::abs(row.duv), 1e-9);
    EXPECT_EQ(off.v > on.v, row.duv > 0);
    EXPECT_GT(off.Pe, 0.0);
    EXPECT_LT(off.Pe, 1.0);
}

INSTANTIATE_TEST_SUITE_P(VirtualMeter, Lamp,
                         testing::Values(LocusRow{2856, 0.4476, 0.4074, 0.002},
                                         LocusRow{4000, 0.3805, 0.3768, -0.003},
                                         LocusRow{6500, 0.3135, 0.3236, 0.001}));

TEST(VirtualMeterLight, DominantWavelengthLiesOnTheRightSide)
{
    struct Row
    {
        const char* name;
        double x, y, minNm, maxNm;
        bool complementary;
    };
    for (const Row& row : std::vector<Row>{{"warm white", 0.4476, 0.4074, 578, 586, false},
                                           {"saturated green", 0.10, 0.80, 510, 535, false},
                                           {"purple", 0.40, 0.25, 490, 570, true}}) {
        SCOPED_TRACE(row.name);
        const auto d = virtualmeter::dominantWavelength(row.x, row.y);
        EXPECT_GE(d.wavelength, row.minNm);
        EXPECT_LE(d.wavelength, row.maxNm);
        EXPECT_EQ(d.Pc < 0, row.complementary);
        EXPECT_GT(d.Pe, 0.0);
        EXPECT_LE(d.Pe, 1.0);
    }
    // The white point has no hue.
    const auto white = virtualmeter::dominantWavelength(1.0 / 3.0, 1.0 / 3.0);
    EXPECT_EQ(white.wavelength, 0.0);
    EXPECT_EQ(white.Pe, 0.0);
}

TEST(VirtualMeterLight, TheLampDriftsSlowlyWithinItsRange)
{
    const double start = 1.8e9;
    auto previous = virtualmeter::driftingLight(start);
    for (int s = 1; s <= 86400; ++s) {
        const auto light = virtualmeter::driftingLight(start + s);
        EXPECT_TRUE(light.tcp >= 3900 && light.tcp <= 6500 && light.ev >= 250 && light.ev <= 510 &&
                    std::abs(light.duv) <= 0.003)
            << s;
        // One second moves the temperature by less than half a percent.
        EXPECT_LT(std::abs(light.tcp - previous.tcp), 20) << s;
        previous = light;
    }
}

} // namespace
