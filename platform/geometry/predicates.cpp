// Point-in-polygon and intersection tests in exact integer arithmetic: the
// orientation (cross product) test for segments and the even-odd crossing
// test for points, with points on a border counted as inside.

#include <algorithm>
#include <cstdint>

#include "gm_geometry.h"

namespace {

// > 0 when c lies to the left of the directed line a -> b, < 0 right, 0 on it.
int64_t orientation(gm_point_t a, gm_point_t b, gm_point_t c) {
    return int64_t{b.x - a.x} * (c.y - a.y) - int64_t{b.y - a.y} * (c.x - a.x);
}

int signOf(int64_t value) {
    return (value > 0) - (value < 0);
}

// For a point known to be collinear with a and b: whether it lies between them.
bool withinSegmentBox(gm_point_t p, gm_point_t a, gm_point_t b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

bool onSegment(gm_point_t p, gm_point_t a, gm_point_t b) {
    return orientation(a, b, p) == 0 && withinSegmentBox(p, a, b);
}

// Closed segments: touching end points and collinear overlaps count.
bool segmentsIntersect(gm_point_t p1, gm_point_t p2, gm_point_t q1, gm_point_t q2) {
    const int d1 = signOf(orientation(q1, q2, p1));
    const int d2 = signOf(orientation(q1, q2, p2));
    const int d3 = signOf(orientation(p1, p2, q1));
    const int d4 = signOf(orientation(p1, p2, q2));
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return true;
    }
    return (d1 == 0 && withinSegmentBox(p1, q1, q2)) || (d2 == 0 && withinSegmentBox(p2, q1, q2)) ||
           (d3 == 0 && withinSegmentBox(q1, p1, p2)) || (d4 == 0 && withinSegmentBox(q2, p1, p2));
}

// The segments of a polygon (closed: the last vertex joins the first) or of
// an open line.
struct Chain {
    const gm_point_t* vertices;
    int count;
    bool closed;

    int segmentCount() const { return closed ? count : count - 1; }
    gm_point_t start(int i) const { return vertices[i]; }
    gm_point_t end(int i) const { return vertices[(i + 1) % count]; }
};

bool chainsIntersect(const Chain& a, const Chain& b) {
    for (int i = 0; i < a.segmentCount(); ++i) {
        for (int j = 0; j < b.segmentCount(); ++j) {
            if (segmentsIntersect(a.start(i), a.end(i), b.start(j), b.end(j))) {
                return true;
            }
        }
    }
    return false;
}

// Whether the edge a -> b crosses the ray from p to the right. An edge counts
// when exactly one end lies above p, which handles vertices on the ray.
bool crossesRayToTheRight(gm_point_t p, gm_point_t a, gm_point_t b) {
    if ((a.y > p.y) == (b.y > p.y)) {
        return false;
    }
    const int64_t side = orientation(a, b, p);
    return b.y > a.y ? side > 0 : side < 0;
}

bool insideOrOnBorder(gm_point_t p, const Chain& polygon) {
    bool inside = false;
    for (int i = 0; i < polygon.segmentCount(); ++i) {
        const gm_point_t a = polygon.start(i);
        const gm_point_t b = polygon.end(i);
        if (onSegment(p, a, b)) {
            return true;
        }
        if (crossesRayToTheRight(p, a, b)) {
            inside = !inside;
        }
    }
    return inside;
}

bool isPolygon(const gm_point_t* vertices, int count) {
    return vertices != nullptr && count >= 3;
}

bool isLine(const gm_point_t* points, int count) {
    return points != nullptr && count >= 2;
}

}  // namespace

int gm_inside_p(gm_point_t point, const gm_point_t* polygon, int count) {
    if (!isPolygon(polygon, count)) {
        return GM_ERR_ARGUMENT;
    }
    return insideOrOnBorder(point, Chain{polygon, count, true}) ? 1 : 0;
}

int gm_intersect_pp(const gm_point_t* a, int count_a, const gm_point_t* b, int count_b) {
    if (!isPolygon(a, count_a) || !isPolygon(b, count_b)) {
        return GM_ERR_ARGUMENT;
    }
    const Chain first{a, count_a, true};
    const Chain second{b, count_b, true};
    // Without crossing borders the polygons share points only when one of
    // them lies wholly inside the other.
    const bool shared = chainsIntersect(first, second) || insideOrOnBorder(a[0], second) ||
                        insideOrOnBorder(b[0], first);
    return shared ? 1 : 0;
}

int gm_intersect_ps(const gm_point_t* polygon, int polygon_count, const gm_point_t* line,
                    int line_count) {
    if (!isPolygon(polygon, polygon_count) || !isLine(line, line_count)) {
        return GM_ERR_ARGUMENT;
    }
    const Chain area{polygon, polygon_count, true};
    const bool shared =
        chainsIntersect(area, Chain{line, line_count, false}) || insideOrOnBorder(line[0], area);
    return shared ? 1 : 0;
}

int gm_intersect_ss(const gm_point_t* line_a, int count_a, const gm_point_t* line_b, int count_b) {
    if (!isLine(line_a, count_a) || !isLine(line_b, count_b)) {
        return GM_ERR_ARGUMENT;
    }
    return chainsIntersect(Chain{line_a, count_a, false}, Chain{line_b, count_b, false}) ? 1 : 0;
}
