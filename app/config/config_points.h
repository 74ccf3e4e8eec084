#pragma once

#include <jansson.h>

#include <cstdint>
#include <string>

#include "geometry/polygon.h"

// Points of a configuration document: arrays [x, y] of two JSON numbers in
// view coordinates from -1 to 1.
namespace configPoints {

// The view coordinate in scene units: times 4096, rounded half away from zero.
int32_t toSceneUnits(double value);
bool isInView(double value);
// A polygon of minVertices to maxVertices points; name names it in log lines.
// Throws StatusException.
Polygon createPolygon(const json_t& points, int minVertices, int maxVertices,
                      const std::string& name);

}  // namespace configPoints
