#include "geometry/polygon_overlap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace overlap {
namespace {

// > 0 when c lies to the left of the directed line a -> b, < 0 right, 0 on it.
int orientation(Point a, Point b, Point c) {
    const int64_t cross = int64_t{b.x - a.x} * (c.y - a.y) - int64_t{b.y - a.y} * (c.x - a.x);
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
// direction of x and of y each reverses no more than twice.
bool isStrictlyConvex(const std::vector<Point>& vertices) {
    const std::size_t count = vertices.size();
    int turn = 0;
    int xReversals = 0;
    int yReversals = 0;
    Point a = vertices[count - 2];
    Point b = vertices[count - 1];
    int lastDx = signOf(b.x - a.x);
    int lastDy = signOf(b.y - a.y);
    for (const Point c : vertices) {
        const int thisTurn = orientation(a, b, c);
        if (thisTurn == 0 || (turn != 0 && thisTurn != turn)) {
            return false;
        }
        turn = thisTurn;
        const int dx = signOf(c.x - b.x);
        const int dy = signOf(c.y - b.y);
        xReversals += dx != 0 && lastDx != 0 && dx != lastDx;
        yReversals += dy != 0 && lastDy != 0 && dy != lastDy;
        lastDx = dx != 0 ? dx : lastDx;
        lastDy = dy != 0 ? dy : lastDy;
        a = b;
        b = c;
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

// Calls visit(a1, a2, s1, s2) for every edge of area and edge of shape whose
// boxes meet, until it returns true.
template <typename Visit>
bool anyEdgePair(const Polygon& area, const Polygon& shape, Visit visit) {
    const std::vector<Point>& areaVertices = area.getPoints();
    const std::vector<Point>& shapeVertices = shape.getPoints();
    const std::size_t areaCount = areaVertices.size();
    const std::size_t shapeCount = shapeVertices.size();
    for (std::size_t i = 0; i < areaCount; ++i) {
        const Point a1 = areaVertices[i];
        const Point a2 = areaVertices[(i + 1) % areaCount];
        if (!segmentBoxMeets(a1, a2, shape)) {
            continue;
        }
        for (std::size_t j = 0; j < shapeCount; ++j) {
            if (visit(a1, a2, shapeVertices[j], shapeVertices[(j + 1) % shapeCount])) {
                return true;
            }
        }
    }
    return false;
}

// Touch when any edges touch, else Crossing when any cross, else None.
Contact contactBetween(const Polygon& area, const Polygon& shape) {
    bool crossing = false;
    const bool touch =
        anyEdgePair(area, shape, [&crossing](Point a1, Point a2, Point s1, Point s2) {
            const Contact contact = contactOf(a1, a2, s1, s2);
            crossing = crossing || contact == Contact::Crossing;
            return contact == Contact::Touch;
        });
    return touch ? Contact::Touch : crossing ? Contact::Crossing : Contact::None;
}

// The clip works in whole units and rounds the points where edges cross, so
// an overlap only a unit or two across (a sliver at a crossing, a thin
// polygon) can vanish from its result. An overlap that holds a disc of this
// radius survives.
constexpr double kClearRadius = 2.0;

struct Vector {
    double x;
    double y;
};

Vector operator-(Point a, Point b) {
    return {static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y};
}

double cross(Vector a, Vector b) {
    return a.x * b.y - a.y * b.x;
}

double squaredDistanceToSegment(Vector p, Point a, Point b) {
    const Vector ab = b - a;
    const Vector ap{p.x - a.x, p.y - a.y};
    const double squaredLength = ab.x * ab.x + ab.y * ab.y;
    const double t = std::clamp((ap.x * ab.x + ap.y * ab.y) / squaredLength, 0.0, 1.0);
    const double dx = ap.x - t * ab.x;
    const double dy = ap.y - t * ab.y;
    return dx * dx + dy * dy;
}

// +1 for a counter-clockwise border, -1 for a clockwise one.
int windingOf(const std::vector<Point>& vertices) {
    int64_t twiceArea = 0;
    for (std::size_t i = 0, j = vertices.size() - 1; i < vertices.size(); j = i++) {
        twiceArea +=
            int64_t{vertices[j].x} * vertices[i].y - int64_t{vertices[i].x} * vertices[j].y;
    }
    return twiceArea > 0 ? 1 : -1;
}

// How far from its corner a wedge with sides along the two directions must
// be clear of other edges to hold a disc of kClearRadius: the disc touching
// both sides at distance d from the corner has radius d sin(a/2) / (1 +
// sin(a/2)) for the wedge's angle a.
double squaredReachNeeded(Vector side1, Vector side2) {
    const double cosine = (side1.x * side2.x + side1.y * side2.y) /
                          std::sqrt((side1.x * side1.x + side1.y * side1.y) *
                                    (side2.x * side2.x + side2.y * side2.y));
    const double halfSine = std::sqrt(std::max(0.0, (1.0 - cosine) / 2.0));
    if (halfSine == 0.0) {
        return std::numeric_limits<double>::infinity();
    }
    const double reach = kClearRadius * (1.0 + halfSine) / halfSine;
    return reach * reach;
}

// Whether every edge of the polygon that is not skipped keeps its distance
// from p.
template <typename Skip>
bool isClear(Vector p, double squaredReach, const std::vector<Point>& vertices, Skip skip) {
    for (std::size_t i = 0, j = vertices.size() - 1; i < vertices.size(); j = i++) {
        if (!skip(vertices[j], vertices[i]) &&
            squaredDistanceToSegment(p, vertices[j], vertices[i]) < squaredReach) {
            return false;
        }
    }
    return true;
}

Vector scaled(Vector v, double factor) {
    return {v.x * factor, v.y * factor};
}

// Whether the corner of the overlap at some proper crossing of the borders
// of two simple polygons holds a clear disc: near the crossing the overlap
// is the wedge between the two edges, up to the nearest other edge.
bool hasClearCrossing(const Polygon& area, const Polygon& shape) {
    const int areaWinding = windingOf(area.getPoints());
    const int shapeWinding = windingOf(shape.getPoints());
    return anyEdgePair(area, shape, [&](Point a1, Point a2, Point s1, Point s2) {
        if (contactOf(a1, a2, s1, s2) != Contact::Crossing) {
            return false;
        }
        const Vector alongArea = a2 - a1;
        const Vector alongShape = s2 - s1;
        const double t = cross(s1 - a1, alongShape) / cross(alongArea, alongShape);
        const Vector at{a1.x + t * alongArea.x, a1.y + t * alongArea.y};
        // The wedge's sides: the area edge towards the shape's inside, the
        // shape edge towards the area's inside (a polygon's inside lies to
        // the left of its edges when it winds counter-clockwise).
        const double areaSide = cross(alongShape, alongArea) * shapeWinding > 0 ? 1.0 : -1.0;
        const double shapeSide = cross(alongArea, alongShape) * areaWinding > 0 ? 1.0 : -1.0;
        const double reach =
            squaredReachNeeded(scaled(alongArea, areaSide), scaled(alongShape, shapeSide));
        return isClear(at, reach, area.getPoints(),
                       [a1, a2](Point from, Point to) { return from == a1 && to == a2; }) &&
               isClear(at, reach, shape.getPoints(),
                       [s1, s2](Point from, Point to) { return from == s1 && to == s2; });
    });
}

// Whether a simple polygon holds a clear disc in its corner at the lowest
// vertex (always a convex corner), up to the nearest edge that does not meet
// that corner. Wholly inside another polygon, it is then the clip's piece.
bool hasClearCorner(const Polygon& polygon) {
    const std::vector<Point>& vertices = polygon.getPoints();
    const std::size_t count = vertices.size();
    const std::size_t lowest = static_cast<std::size_t>(
        std::min_element(vertices.begin(), vertices.end()) - vertices.begin());
    const Point corner = vertices[lowest];
    const Point previous = vertices[(lowest + count - 1) % count];
    const Point next = vertices[(lowest + 1) % count];
    const Vector at{static_cast<double>(corner.x), static_cast<double>(corner.y)};
    return isClear(at, squaredReachNeeded(previous - corner, next - corner), vertices,
                   [corner](Point from, Point to) { return from == corner || to == corner; });
}

}  // namespace

bool boxesMeet(const Polygon& a, const Polygon& b) {
    return a.getMaxX() >= b.getMinX() && b.getMaxX() >= a.getMinX() && a.getMaxY() >= b.getMinY() &&
           b.getMaxY() >= a.getMinY();
}

bool boxContains(const Polygon& outer, const Polygon& inner) {
    return outer.getMinX() <= inner.getMinX() && inner.getMaxX() <= outer.getMaxX() &&
           outer.getMinY() <= inner.getMinY() && inner.getMaxY() <= outer.getMaxY();
}

bool isSimple(const Polygon& polygon) {
    const std::vector<Point>& vertices = polygon.getPoints();
    return vertices.size() >= 3 && (isStrictlyConvex(vertices) || hasSimpleBorder(vertices));
}

bool areApart(const Polygon& a, const Polygon& b) {
    return !boxesMeet(a, b) || (contactBetween(a, b) == Contact::None &&
                                !isInside(b.getPoints().front(), a.getPoints()) &&
                                !isInside(a.getPoints().front(), b.getPoints()));
}

Overlap classify(const Polygon& area, const Polygon& shape) {
    if (!boxesMeet(area, shape)) {
        return Overlap::None;
    }
    switch (contactBetween(area, shape)) {
        case Contact::Touch:
            return Overlap::Undecided;
        case Contact::Crossing:
            return isSimple(shape) && hasClearCrossing(area, shape) ? Overlap::Area
                                                                    : Overlap::Undecided;
        case Contact::None:
            break;
    }
    // Borders apart: one polygon lies wholly inside the other (the clip then
    // returns the inner one), or they share no point.
    const std::vector<Point>& areaVertices = area.getPoints();
    const std::vector<Point>& shapeVertices = shape.getPoints();
    if (isInside(shapeVertices.front(), areaVertices)) {
        return isSimple(shape) && hasClearCorner(shape) ? Overlap::Area : Overlap::Undecided;
    }
    if (isInside(areaVertices.front(), shapeVertices)) {
        return isSimple(shape) && hasClearCorner(area) ? Overlap::Area : Overlap::Undecided;
    }
    return Overlap::None;
}

}  // namespace overlap
