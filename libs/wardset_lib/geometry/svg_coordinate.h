#pragma once

#include <cstdint>
#include <string>

#include "geometry/point.h"

// Scene coordinates as written into SVG drawings: v / 4096, so that the scene
// spans -1 .. 1 on both axes.
double toSvgCoordinate(int32_t value);
// "x,y" of the point in SVG coordinates, three decimals each.
std::string toSvgPoint(Point point);
