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

bool inside(const Corners& c, Point q)
{
    return colorimetry::InsideQuadrilateral(c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x,
                                            c[3].y, q.x, q.y);
}

// Runs the test with the corners in each of the 24 orders.
std::vector<Corners> everyOrder(const Corners& corners)
{
    std::array<int, 4> index = {0, 1, 2, 3};
    std::vector<Corners> orders;
    do {
        orders.push_back(
            {corners[index[0]], corners[index[1]], corners[index[2]], corners[index[3]]});
    } while (std::next_permutation(index.begin(), index.end()));
    return orders;
}

std::string describe(const Corners& c)
{
    std::string text;
    for (const Point& p : c) {
        text += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    return text;
}

Point midpoint(Point a, Point b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The edge midpoint moved by distance d along the normal away from the inside of a
// counter-clockwise quadrilateral (negative d moves inwards).
Point offEdge(const Corners& ccw, int edge, double d)
{
    const Point a = ccw[static_cast<std::size_t>(edge)];
    const Point b = ccw[static_cast<std::size_t>((edge + 1) % 4)];
    const Point m = midpoint(a, b);
    const double nx = b.y - a.y;
    const double ny = a.x - b.x;
    const double length = std::hypot(nx, ny);
    return {m.x + nx / length * d, m.y + ny / length * d};
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
};

std::vector<PointCase> boundaryAndNearPoints(const Corners& ccw)
{
    std::vector<PointCase> points;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        const auto at = static_cast<std::size_t>(i);
        points.push_back({"corner" + n, ccw[at], true});
        points.push_back({"onEdge" + n, midpoint(ccw[at], ccw[(at + 1) % 4]), true});
        points.push_back({"justInsideEdge" + n, offEdge(ccw, i, -1e-9), true});
        points.push_back({"justOutsideEdge" + n, offEdge(ccw, i, 1e-9), false});
    }
    return points;
}

ShapeCase square()
{
    ShapeCase shape{"UnitSquare", {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {}};
    shape.points = boundaryAndNearPoints(shape.ccw);
    const std::vector<PointCase> more = {
        {"centre", {0.5, 0.5}, true},
        {"rightOfSquare", {1.5, 0.5}, false},
        {"onEdgeLineBeyondCorner", {2, 0}, false},
        {"belowCorner", {0, -1e-12}, false},
        {"diagonalBeyondCorner", {1.001, 1.001}, false},
        {"nearCorner", {0.999, 0.999}, true},
    };
    shape.points.insert(shape.points.end(), more.begin(), more.end());
    return shape;
}

// An irregular convex quadrilateral in chromaticity units; the corners and edge midpoints are
// exact binary fractions, so points on the boundary give line values of exactly zero.
ShapeCase irregular()
{
    ShapeCase shape{
        "IrregularConvex", {{{0.25, 0.25}, {0.5, 0.3125}, {0.4375, 0.5}, {0.1875, 0.375}}}, {}};
    shape.points = boundaryAndNearPoints(shape.ccw);
    const std::vector<PointCase> more = {
        {"inside", {0.34375, 0.359375}, true},
        {"below", {0.375, 0.27}, false},
        {"right", {0.48, 0.42}, false},
        {"left", {0.2, 0.3}, false},
        {"above", {0.3, 0.46}, false},
        {"far", {0.9, 0.9}, false},
        {"origin", {0, 0}, false},
    };
    shape.points.insert(shape.points.end(), more.begin(), more.end());
    return shape;
}

// A dart: (2,1) lies inside the triangle of the other three. Which of the three possible
// quadrilaterals is meant depends on the corner order, so only answers that every order shares
// are fixed here: nothing outside the triangle is inside, and the inner corner always is.
ShapeCase dart()
{
    return {"Dart",
            {{{0, 0}, {2, 1}, {4, 0}, {2, 4}}},
            {{"innerCorner", {2, 1}, true},
             {"belowBase", {2, -0.5}, false},
             {"leftOfTriangle", {0.5, 2}, false},
             {"rightOfTriangle", {3.5, 2}, false},
             {"aboveApex", {2, 4.001}, false},
             {"baseLineBeyondCorner", {-1, 0}, false},
             {"far", {10, 10}, false}}};
}

struct Row
{
    ShapeCase shape;
    PointCase point;
};

std::vector<Row> rows()
{
    std::vector<Row> all;
    for (const ShapeCase& shape : {square(), irregular(), dart()}) {
        for (const PointCase& point : shape.points) {
            all.push_back({shape, point});
        }
    }
    return all;
}

class InsideQuadrilateralOrders : public testing::TestWithParam<Row>
{
};

TEST_P(InsideQuadrilateralOrders, SameAnswerInEveryCornerOrder)
{
    const Row& row = GetParam();
    for (const Corners& order : everyOrder(row.shape.ccw)) {
        EXPECT_EQ(inside(order, row.point.q), row.point.expected) << describe(order);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, InsideQuadrilateralOrders, testing::ValuesIn(rows()),
                         [](const testing::TestParamInfo<Row>& rowInfo) {
                             return rowInfo.param.shape.name + "_" + rowInfo.param.point.name;
                         });

TEST(InsideQuadrilateral, CrossedOrderOfTheSquare)
{
    const Corners bowTie = {{{0, 0}, {1, 1}, {1, 0}, {0, 1}}};
    EXPECT_TRUE(inside(bowTie, {0.5, 0.5}));
    EXPECT_FALSE(inside(bowTie, {1.5, 0.5}));
}

// With all corners exactly on one line (binary fractions, so nothing is rounded) every line
// value at a reference corner is zero, every product is zero and any point passes.
TEST(InsideQuadrilateral, CollinearCornersAcceptEveryPoint)
{
    const std::vector<Corners> lines = {
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{{0.25, 0.375}, {0.25, 0.625}, {0.25, 0.125}, {0.25, 0.5}}},
        {{{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
    };
    const std::vector<Point> points = {{0.5, 0.5}, {-7, 3}, {100, -100}, {0, 0}, {0.2, 0.9}};
    for (const Corners& line : lines) {
        for (const Corners& order : everyOrder(line)) {
            for (const Point& q : points) {
                EXPECT_TRUE(inside(order, q)) << describe(order) << " q " << q.x << "," << q.y;
            }
        }
    }
}

TEST(InsideQuadrilateral, NotANumberIsNeverInside)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Corners unit = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    EXPECT_FALSE(inside(unit, {nan, 0.5}));
    EXPECT_FALSE(inside(unit, {0.5, nan}));
    const Corners broken = {{{0, 0}, {nan, 0}, {1, 1}, {0, 1}}};
    EXPECT_FALSE(inside(broken, {0.5, 0.5}));
}

} // namespace
