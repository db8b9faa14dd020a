#include "colorimetry/InsideQuadrilateral.h"

namespace colorimetry {

namespace {

struct Point
{
    double x;
    double y;
};

// Zero on the line through a and b, opposite signs on its two sides.
double lineValue(Point a, Point b, Point q)
{
    return (b.y - a.y) * q.x + (a.x - b.x) * q.y + (b.x * a.y - a.x * b.y);
}

// Q lies on the same side of edge ab as the reference corner, or on the edge's line.
bool sameSide(Point a, Point b, Point reference, Point q)
{
    return lineValue(a, b, reference) * lineValue(a, b, q) >= 0;
}

} // namespace

bool InsideQuadrilateral(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double px, double py)
{
    const Point p1{x1, y1};
    const Point p2{x2, y2};
    const Point p3{x3, y3};
    const Point p4{x4, y4};
    const Point q{px, py};

    // The corners come in any order: find which pairs are edges. If P3 and P4 are not strictly
    // on one side of P1P2, that line is a diagonal; otherwise P2P3 decides between the two
    // remaining orders.
    Point a = p1;
    Point b = p2;
    Point c = p3;
    Point d = p4;
    if (lineValue(p1, p2, p3) * lineValue(p1, p2, p4) > 0) {
        if (!(lineValue(p2, p3, p1) * lineValue(p2, p3, p4) > 0)) {
            c = p4;
            d = p3;
        }
    } else {
        b = p3;
        c = p2;
    }

    // Boundary a -> b -> c -> d; each edge is checked against a corner off that edge, always
    // all four so the answer does not depend on which edge fails first.
    const bool edge1 = sameSide(a, b, d, q);
    const bool edge2 = sameSide(b, c, a, q);
    const bool edge3 = sameSide(c, d, b, q);
    const bool edge4 = sameSide(d, a, c, q);
    return edge1 && edge2 && edge3 && edge4;
}

} // namespace colorimetry
