#pragma once

#include "geometry/polygon.h"

// Answers in exact integer arithmetic, from the vertices alone, the
// questions about two polygons that otherwise need the geometry library or a
// clip: whether their bounding boxes meet, whether a border is simple, and
// whether two polygons overlap with area. Where an answer could differ from
// what clipping the two would give (borders that touch, shared vertices,
// self-crossing borders) it is left to the clip.
namespace overlap {

// Whether the closed bounding boxes share a point. When they do not, neither
// do the polygons.
bool boxesMeet(const Polygon& a, const Polygon& b);
// Whether the closed bounding box of inner lies within that of outer.
bool boxContains(const Polygon& outer, const Polygon& inner);

// Whether the border is a simple closed curve: no two edges share a point
// other than the vertex between neighbouring edges, and no edge has length 0.
// A simple polygon encloses area and has no repeated vertex.
bool isSimple(const Polygon& polygon);

// Whether the polygons share no point, whatever their shapes; exact.
bool areApart(const Polygon& a, const Polygon& b);

enum class Overlap {
    None,       // not a point in common
    Area,       // the intersection has area
    Undecided,  // only a clip can tell
};

// How shape lies relative to area, which must be simple. Area is answered
// where the borders cross properly (never touching) or one polygon lies
// wholly inside the other, and shape is simple too.
Overlap classify(const Polygon& area, const Polygon& shape);

}  // namespace overlap
