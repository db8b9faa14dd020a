#include "colorimetry/InsideQuadrilateral.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Point
{
    double x;
    double y;
};

using Corners = std::array<Point, 4>;

// Asks with the corners in each of the 24 orders; the answer must not depend on the order.
void expectInEveryOrder(const Corners& corners, Point q, bool expected)
{
    std::array<std::size_t, 4> i = {0, 1, 2, 3};
    do {
        const Corners c = {corners[i[0]], corners[i[1]], corners[i[2]], corners[i[3]]};
        EXPECT_EQ(colorimetry::InsideQuadrilateral(c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y,
                                                   c[3].x, c[3].y, q.x, q.y),
                  expected)
            << "order " << i[0] << i[1] << i[2] << i[3] << " point " << q.x << "," << q.y;
    } while (std::next_permutation(i.begin(), i.end()));
}

struct PointCase
{
    std::string name;
    Point q;
    bool expected;
};

struct ShapeCase
{
    std::string name;
    Corners ccw; // boundary order, counter-clockwise
    std::vector<PointCase> points;
    bool boundary; // also check corners, edge midpoints and points a hair off each edge
};

// The edge midpoint moved by distance d along the outward normal (negative d: inwards).
Point offEdge(const Corners& ccw, std::size_t edge, double d)
{
    const Point a = ccw[edge];
    const Point b = ccw[(edge + 1) % 4];
    const double nx = b.y - a.y;
    const double ny = a.x - b.x;
    const double length = std::hypot(nx, ny);
    return {(a.x + b.x) / 2 + nx / length * d, (a.y + b.y) / 2 + ny / length * d};
}

const std::vector<ShapeCase> Shapes = {
    {"UnitSquare",
     {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
     {{"centre", {0.5, 0.5}, true},
      {"onEdgeLineBeyondCorner", {2, 0}, false},
      {"diagonalBeyondCorner", {1.001, 1.001}, false}},
     true},
    // Corners and edge midpoints are exact binary fractions, so points on the boundary give line
    // values of exactly zero.
    {"IrregularConvex",
     {{{0.25, 0.25}, {0.5, 0.3125}, {0.4375, 0.5}, {0.1875, 0.375}}},
     {{"inside", {0.34375, 0.359375}, true}, {"right", {0.48, 0.42}, false}},
     true},
    // A dart: (2,1) lies inside the triangle of the other three. Which quadrilateral is meant
    // depends on the order, so only answers every order shares are fixed: nothing outside the
    // triangle is inside, and the inner corner always is.
    {"Dart",
     {{{0, 0}, {2, 1}, {4, 0}, {2, 4}}},
     {{"innerCorner", {2, 1}, true},
      {"belowBase", {2, -0.5}, false},
      {"aboveApex", {2, 4.001}, false},
      {"baseLineBeyondCorner", {-1, 0}, false}},
     false},
};

TEST(InsideQuadrilateral, SameAnswerInEveryCornerOrder)
{
    for (const ShapeCase& shape : Shapes) {
        std::vector<PointCase> points = shape.points;
        if (shape.boundary) {
            for (std::size_t i = 0; i < 4; ++i) {
                const std::string n = std::to_string(i);
                const Point a = shape.ccw[i], b = shape.ccw[(i + 1) % 4];
                points.push_back({"corner" + n, a, true});
                points.push_back({"onEdge" + n, {(a.x + b.x) / 2, (a.y + b.y) / 2}, true});
                points.push_back({"justInsideEdge" + n, offEdge(shape.ccw, i, -1e-9), true});
                points.push_back({"justOutsideEdge" + n, offEdge(shape.ccw, i, 1e-9), false});
            }
        }
        for (const PointCase& p : points) {
            SCOPED_TRACE(shape.name + " " + p.name);
            expectInEveryOrder(shape.ccw, p.q, p.expected);
        }
    }
}

// With all corners exactly on one line (binary fractions, so nothing is rounded) every line
// value at a reference corner is zero, every product is zero and any point passes.
TEST(InsideQuadrilateral, CollinearCornersAcceptEveryPoint)
{
    for (const Corners& line : std::vector<Corners>{
             {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
             {{{0.25, 0.375}, {0.25, 0.625}, {0.25, 0.125}, {0.25, 0.5}}},
             {{{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
         }) {
        for (const Point& q : std::vector<Point>{{0.5, 0.5}, {-7, 3}, {100, -100}, {0, 0}})
            expectInEveryOrder(line, q, true);
    }
}

TEST(InsideQuadrilateral, NotANumberIsNeverInside)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Corners unit = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    expectInEveryOrder(unit, {nan, 0.5}, false);
    expectInEveryOrder(unit, {0.5, nan}, false);
    expectInEveryOrder({{{0, 0}, {nan, 0}, {1, 1}, {0, 1}}}, {0.5, 0.5}, false);
}

} // namespace
