#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "geometry/point.h"
#include "geometry/polygon.h"
#include "geometry/polygon_container.h"

// Polygon clipping through the platform geometry library. The library copes
// badly with vertices that the two operands share, so the second operand's
// coincident vertices are first moved to the nearest free integer point.
namespace clipping {

enum class ClipMode { Intersection, Difference };

// Appends the pieces of subject ∩ other (or subject minus other) to out, in
// the library's order; nothing when the library fails.
void clip(const Polygon& subject, const Polygon& other, ClipMode mode, PolygonContainer& out);

// Moves every vertex of clipVertices that coincides with a vertex of subject
// or with an earlier vertex of clipVertices to the closest point not taken.
void adjustDuplicates(const Polygon& subject, std::vector<Point>& clipVertices);

// Points in sorted order, for the few vertices of two polygons: cheaper
// than a node-based set to fill and search.
class SortedPoints {
  public:
    explicit SortedPoints(std::vector<Point> points);

    std::size_t count(Point point) const {
        return std::binary_search(m_points.begin(), m_points.end(), point) ? 1 : 0;
    }
    void insert(Point point);

  private:
    std::vector<Point> m_points;
};

// The first point not in taken (a std::set<Point> or SortedPoints) on the
// square rings around point at distances 1, 2, 3, ..., clipped to the scene.
// Each ring is walked along its top and bottom rows (left to right, top
// before bottom), then along its left and right columns (bottom to top, left
// before right).
template <typename PointSet>
Point findClosestNonDuplicate(Point point, const PointSet& taken);

namespace detail {

// A ring around the scene's full extent is reached from any int16 point, so
// the search below always ends before this; the point itself is returned
// only if every scene point were taken.
constexpr int kLargestRing = 2 * 32768;

template <typename PointSet>
bool isFree(int x, int y, const PointSet& taken) {
    return taken.count(Point{static_cast<int16_t>(x), static_cast<int16_t>(y)}) == 0;
}

}  // namespace detail

template <typename PointSet>
Point findClosestNonDuplicate(Point point, const PointSet& taken) {
    for (int r = 1; r <= detail::kLargestRing; ++r) {
        const int x0 = std::max(point.x - r, -kSceneLimit);
        const int x1 = std::min(point.x + r, kSceneLimit);
        const int y0 = std::max(point.y - r, -kSceneLimit);
        const int y1 = std::min(point.y + r, kSceneLimit);
        for (int i = x0; i <= x1; ++i) {
            if (detail::isFree(i, y1, taken)) {
                return {static_cast<int16_t>(i), static_cast<int16_t>(y1)};
            }
            if (detail::isFree(i, y0, taken)) {
                return {static_cast<int16_t>(i), static_cast<int16_t>(y0)};
            }
        }
        for (int j = y0 + 1; j <= y1 - 1; ++j) {
            if (detail::isFree(x0, j, taken)) {
                return {static_cast<int16_t>(x0), static_cast<int16_t>(j)};
            }
            if (detail::isFree(x1, j, taken)) {
                return {static_cast<int16_t>(x1), static_cast<int16_t>(j)};
            }
        }
    }
    return point;
}

}  // namespace clipping
