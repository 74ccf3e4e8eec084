#pragma once

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

// The first point not in taken on the square rings around point at distances
// 1, 2, 3, ..., clipped to the scene. Each ring is walked along its top and
// bottom rows (left to right, top before bottom), then along its left and
// right columns (bottom to top, left before right).
Point findClosestNonDuplicate(Point point, const std::set<Point>& taken);

}  // namespace clipping
