#include "geometry/polygon_overlap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace overlap {
namespace {

// > 0 when c lies to the left of the directed line a -> b, < 0 right, 0 on it.
int orientation(Point a, Point b, Point c) {
    const int64_t cross =
        int64_t{b.x - a.x} * (c.y - a.y) - int64_t{b.y - a.y} * (c.x - a.x);
    return (cross > 0) - (cross < 0);
}

// For a point collinear with a and b: whether it lies between them.
bool withinSegmentBox(Point p, Point a, Point b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

bool onSegment(Point p, Point a, Point b) {
    return orientation(a, b, p) == 0 && withinSegmentBox(p, a, b);
}

enum class Contact { None, Crossing, Touch };

// How two closed segments meet: a proper crossing of their insides, or any
// other shared point (an end point on the other segment, collinear overlap).
Contact contactOf(Point p1, Point p2, Point q1, Point q2) {
    const int d1 = orientation(q1, q2, p1);
    const int d2 = orientation(q1, q2, p2);
    const int d3 = orientation(p1, p2, q1);
    const int d4 = orientation(p1, p2, q2);
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return Contact::Crossing;
    }
    const bool touch =
        (d1 == 0 && withinSegmentBox(p1, q1, q2)) || (d2 == 0 && withinSegmentBox(p2, q1, q2)) ||
        (d3 == 0 && withinSegmentBox(q1, p1, p2)) || (d4 == 0 && withinSegmentBox(q2, p1, p2));
    return touch ? Contact::Touch : Contact::None;
}

bool segmentBoxMeets(Point a, Point b, const Polygon& polygon) {
    return std::max(a.x, b.x) >= polygon.getMinX() && std::min(a.x, b.x) <= polygon.getMaxX() &&
           std::max(a.y, b.y) >= polygon.getMinY() && std::min(a.y, b.y) <= polygon.getMaxY();
}

// Even-odd rule for a point on no edge of the polygon.
bool isInside(Point p, const std::vector<Point>& vertices) {
    bool inside = false;
    const std::size_t count = vertices.size();
    for (std::size_t i = 0, j = count - 1; i < count; j = i++) {
        const Point a = vertices[j];
        const Point b = vertices[i];
        if ((a.y > p.y) != (b.y > p.y)) {
            const int side = orientation(a, b, p);
            if (b.y > a.y ? side > 0 : side < 0) {
                inside = !inside;
            }
        }
    }
    return inside;
}

int signOf(int value) {
    return (value > 0) - (value < 0);
}

// Every turn strictly to the same side, and the border goes round once: the
// direction of x and of y each reverses exactly twice.
bool isStrictlyConvex(const std::vector<Point>& vertices) {
    const std::size_t count = vertices.size();
    int turn = 0;
    int xReversals = 0;
    int yReversals = 0;
    int lastDx = 0;
    int lastDy = 0;
    for (std::size_t i = 0; i < count + 1; ++i) {
        const Point a = vertices[i % count];
        const Point b = vertices[(i + 1) % count];
        const Point c = vertices[(i + 2) % count];
        const int thisTurn = orientation(a, b, c);
        if (thisTurn == 0 || (turn != 0 && thisTurn != turn)) {
            return false;
        }
        turn = thisTurn;
        const int dx = signOf(b.x - a.x);
        const int dy = signOf(b.y - a.y);
        if (i > 0) {
            xReversals += dx != 0 && lastDx != 0 && dx != lastDx;
            yReversals += dy != 0 && lastDy != 0 && dy != lastDy;
        }
        lastDx = dx != 0 ? dx : lastDx;
        lastDy = dy != 0 ? dy : lastDy;
    }
    return xReversals <= 2 && yReversals <= 2;
}

// Neighbouring edges u -> v -> w share only v: neither has length 0 and the
// second does not fold back over the first.
bool joinsCleanly(Point u, Point v, Point w) {
    return u != v && v != w && !onSegment(w, u, v) && !onSegment(u, v, w);
}

bool hasSimpleBorder(const std::vector<Point>& vertices) {
    const std::size_t count = vertices.size();
    const auto at = [&vertices, count](std::size_t i) { return vertices[i % count]; };
    for (std::size_t i = 0; i < count; ++i) {
        if (!joinsCleanly(at(i), at(i + 1), at(i + 2))) {
            return false;
        }
        // Edges that are not neighbours: i with i + 2 .. up to the one
        // before i's other neighbour.
        const std::size_t last = i == 0 ? count - 2 : count - 1;
        for (std::size_t j = i + 2; j <= last; ++j) {
            if (contactOf(at(i), at(i + 1), at(j), at(j + 1)) != Contact::None) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool boxesMeet(const Polygon& a, const Polygon& b) {
    return a.getMaxX() >= b.getMinX() && b.getMaxX() >= a.getMinX() &&
           a.getMaxY() >= b.getMinY() && b.getMaxY() >= a.getMinY();
}

bool boxContains(const Polygon& outer, const Polygon& inner) {
    return outer.getMinX() <= inner.getMinX() && inner.getMaxX() <= outer.getMaxX() &&
           outer.getMinY() <= inner.getMinY() && inner.getMaxY() <= outer.getMaxY();
}

bool isSimple(const Polygon& polygon) {
    const std::vector<Point>& vertices = polygon.getPoints();
    return vertices.size() >= 3 && (isStrictlyConvex(vertices) || hasSimpleBorder(vertices));
}

Overlap classify(const Polygon& area, const Polygon& shape) {
    if (!boxesMeet(area, shape)) {
        return Overlap::None;
    }
    const std::vector<Point>& areaVertices = area.getPoints();
    const std::vector<Point>& shapeVertices = shape.getPoints();
    const std::size_t areaCount = areaVertices.size();
    const std::size_t shapeCount = shapeVertices.size();
    bool crossing = false;
    for (std::size_t i = 0; i < areaCount; ++i) {
        const Point a1 = areaVertices[i];
        const Point a2 = areaVertices[(i + 1) % areaCount];
        if (!segmentBoxMeets(a1, a2, shape)) {
            continue;
        }
        for (std::size_t j = 0; j < shapeCount; ++j) {
            switch (contactOf(a1, a2, shapeVertices[j], shapeVertices[(j + 1) % shapeCount])) {
                case Contact::None:
                    break;
                case Contact::Crossing:
                    crossing = true;
                    break;
                case Contact::Touch:
                    return Overlap::Undecided;
            }
        }
    }
    // With borders that cross, or one border wholly inside the other polygon,
    // the intersection has area; with borders apart and neither inside the
    // other, the polygons share no point.
    if (crossing || isInside(shapeVertices.front(), areaVertices) ||
        isInside(areaVertices.front(), shapeVertices)) {
        return isSimple(shape) ? Overlap::Area : Overlap::Undecided;
    }
    return Overlap::None;
}

}  // namespace overlap
