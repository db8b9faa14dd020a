#include "colorimetry/Region.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using colorimetry::Quadrangle;
using colorimetry::XY;

struct RegionRow
{
    const char* name;
    Quadrangle typed; // the corners as the user typed them
    XY point;
    bool inside;
};

// Convex: (0.30, 0.30), (0.36, 0.31), (0.35, 0.36), (0.31, 0.35), typed crossed. Its lower side
// runs along y = 0.30 + (x - 0.30) / 6.
constexpr Quadrangle Convex = {{{0.30, 0.30}, {0.35, 0.36}, {0.36, 0.31}, {0.31, 0.35}}};
// Concave: A (0, 0), B (4, 0), C (2, 4) and D (2, 1) inside triangle ABC. Typed A C B D the
// outline is the arrowhead A-C-B-D (notch ABD cut from below); typed A D B C it is A-B-D-C
// (notch BCD cut from the right).
// The 4000 K quadrangle of ANSI C78.377-2008, typed 1 3 2 4; its low-CCT side runs from corner 4
// (0.3895, 0.3709) to corner 1 (0.4003, 0.4035) and has its midpoint at (0.3949, 0.3872).
constexpr Quadrangle Ansi4000 = {
    {{0.4003, 0.4035}, {0.3671, 0.3583}, {0.3737, 0.3880}, {0.3895, 0.3709}}};
constexpr XY Ansi4000SideMidpoint = {(0.3895 + 0.4003) / 2, (0.3709 + 0.4035) / 2};
constexpr Quadrangle Arrowhead = {{{0, 0}, {2, 4}, {4, 0}, {2, 1}}};
constexpr Quadrangle NotchRight = {{{0, 0}, {2, 1}, {4, 0}, {2, 4}}};
// A triangle typed round with a corner in the middle of its base.
constexpr Quadrangle Triangle = {{{0, 0}, {2, 0}, {4, 0}, {2, 4}}};

const RegionRow Rows[] = {
    {"convex centre", Convex, {0.33, 0.33}, true},
    {"convex corner", Convex, {0.36, 0.31}, true},
    {"convex on the lower side (computed)", Convex, {0.33, 0.305}, true},
    {"convex just below the lower side", Convex, {0.33, 0.3049}, false},
    {"convex on the lower side's line, beyond the corner", Convex, {0.42, 0.32}, false},
    {"ANSI midpoint of the low-CCT side (computed)", Ansi4000, Ansi4000SideMidpoint, true},
    {"ANSI just beyond the low-CCT side", Ansi4000, {0.3950, 0.3872}, false},
    {"arrowhead inside", Arrowhead, {2, 2}, true},
    {"arrowhead in the notch", Arrowhead, {2, 0.5}, false},
    {"arrowhead reflex corner", Arrowhead, {2, 1}, true},
    {"arrowhead on side A-D", Arrowhead, {1, 0.5}, true},
    {"arrowhead just under side A-D", Arrowhead, {1, 0.45}, false},
    {"arrowhead on the line A-D beyond D", Arrowhead, {3, 1.5}, true},
    {"arrowhead on the line A-D beyond A", Arrowhead, {-1, -0.5}, false},
    {"arrowhead base between the notch and B", Arrowhead, {3.5, 0}, false},
    {"notch right: below D is inside", NotchRight, {2, 0.5}, true},
    {"notch right: in the notch", NotchRight, {2.5, 2}, false},
    {"notch right: on the base", NotchRight, {3.5, 0}, true},
    {"triangle: left half", Triangle, {1, 1}, true},
    {"triangle: right half", Triangle, {3, 1}, true},
    {"triangle: beyond its slanted side", Triangle, {3.5, 1.5}, false},
    {"not a number", Convex, {0.33, std::numeric_limits<double>::quiet_NaN()}, false},
};

TEST(Region, InsideAsTheOutlineIsDrawnOnTheBoundaryIncluded)
{
    for (const RegionRow& row : Rows) {
        EXPECT_EQ(colorimetry::InsideRegion(colorimetry::RegionOutline(row.typed), row.point),
                  row.inside)
            << row.name;
    }
}

} // namespace
