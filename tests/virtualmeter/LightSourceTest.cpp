#include "virtualmeter/LightSource.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using virtualmeter::Light;
using virtualmeter::measure;

struct LocusRow
{
    double tcp;
    double x;
    double y;
};

class OnTheLocus : public testing::TestWithParam<LocusRow>
{
};

TEST_P(OnTheLocus, GivesThePlanckianChromaticity)
{
    const auto m = measure(Light{GetParam().tcp, 0.0, 100.0});
    EXPECT_NEAR(m.x, GetParam().x, 0.0008);
    EXPECT_NEAR(m.y, GetParam().y, 0.0008);
}

INSTANTIATE_TEST_SUITE_P(VirtualMeter, OnTheLocus,
                         testing::Values(LocusRow{2856, 0.4476, 0.4074},
                                         LocusRow{4000, 0.3805, 0.3768},
                                         LocusRow{6500, 0.3135, 0.3236}));

class Consistency : public testing::TestWithParam<Light>
{
};

TEST_P(Consistency, AllQuantitiesDescribeTheSameLight)
{
    const Light light = GetParam();
    const auto m = measure(light);
    EXPECT_DOUBLE_EQ(m.Ev, light.ev);
    EXPECT_NEAR(m.X / (m.X + m.Y + m.Z), m.x, 1e-12);
    EXPECT_NEAR(m.u, 4 * m.x / (-2 * m.x + 12 * m.y + 3), 1e-12);
    // Back on the locus: delta-uv is the distance in u, v' * 2/3.
    const auto onLocus = measure(Light{light.tcp, 0.0, light.ev});
    EXPECT_NEAR(std::hypot(m.u - onLocus.u, (m.v - onLocus.v) / 1.5), std::abs(light.duv), 1e-9);
    EXPECT_EQ(m.v > onLocus.v, light.duv > 0);
    EXPECT_GT(m.Pe, 0.0);
    EXPECT_LT(m.Pe, 1.0);
    EXPECT_GE(m.wavelength, 380.0);
    EXPECT_LE(m.wavelength, 780.0);
}

INSTANTIATE_TEST_SUITE_P(VirtualMeter, Consistency,
                         testing::Values(Light{4000, 0.002, 350}, Light{5200, -0.003, 420}));

struct DominantRow
{
    const char* name;
    double x;
    double y;
    double minNm;
    double maxNm;
    bool complementary;
};

class Dominant : public testing::TestWithParam<DominantRow>
{
};

TEST_P(Dominant, FindsTheWavelengthOnTheRightSide)
{
    const auto& row = GetParam();
    const auto d = virtualmeter::dominantWavelength(row.x, row.y);
    EXPECT_GE(d.wavelength, row.minNm);
    EXPECT_LE(d.wavelength, row.maxNm);
    EXPECT_EQ(d.Pc < 0, row.complementary);
    EXPECT_GT(d.Pe, 0.0);
    EXPECT_LE(d.Pe, 1.0);
}

INSTANTIATE_TEST_SUITE_P(VirtualMeter, Dominant,
                         testing::Values(DominantRow{"WarmWhite", 0.4476, 0.4074, 578, 586, false},
                                         DominantRow{"SaturatedGreen", 0.10, 0.80, 510, 535, false},
                                         DominantRow{"PurpleHasAComplementary", 0.40, 0.25, 490,
                                                     570, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(VirtualMeterLight, TheWhitePointHasNoHue)
{
    const auto d = virtualmeter::dominantWavelength(1.0 / 3.0, 1.0 / 3.0);
    EXPECT_EQ(d.wavelength, 0.0);
    EXPECT_EQ(d.Pe, 0.0);
}

TEST(VirtualMeterLight, TheLampDriftsSlowlyWithinItsRange)
{
    const double start = 1.8e9;
    auto previous = virtualmeter::driftingLight(start);
    for (int s = 1; s <= 86400; ++s) {
        const auto light = virtualmeter::driftingLight(start + s);
        EXPECT_GE(light.tcp, 3900);
        EXPECT_LE(light.tcp, 6500);
        EXPECT_GE(light.ev, 250);
        EXPECT_LE(light.ev, 510);
        EXPECT_LE(std::abs(light.duv), 0.003);
        // One second moves the temperature by less than half a percent.
        EXPECT_LT(std::abs(light.tcp - previous.tcp), 20) << s;
        previous = light;
    }
}

} // namespace
