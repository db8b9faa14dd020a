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

TEST(Lamp, SitsOnThePlanckianLocusAndDeltaUvMovesItOff)
{
    for (const LocusRow& row :
         {LocusRow{2856, 0.4476, 0.4074, 0.002}, LocusRow{4000, 0.3805, 0.3768, -0.003},
          LocusRow{6500, 0.3135, 0.3236, 0.001}}) {
        SCOPED_TRACE(row.tcp);
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
}

} // namespace
