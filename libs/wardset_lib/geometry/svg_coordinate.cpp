#include "geometry/svg_coordinate.h"

#include <cstdio>

#include "fixmath.h"

namespace {

// Scene coordinates are fixed-point numbers with 12 fractional bits.
constexpr int kSceneFractionalBits = 12;

}  // namespace

double toSvgCoordinate(int32_t value) {
    return value * fx_xtod_tab[kSceneFractionalBits];
}

std::string toSvgPoint(Point point) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f,%.3f", toSvgCoordinate(point.x),
                  toSvgCoordinate(point.y));
    return text;
}
