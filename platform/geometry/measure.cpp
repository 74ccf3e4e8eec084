// Centroid and area of a polygon by the shoelace formula.

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "gm_geometry.h"

namespace {

// Twice the signed area. With int16 coordinates every term is below 2^32 in
// magnitude, so the sum of up to INT_MAX terms stays within int64.
int64_t twiceSignedArea(const gm_point_t* vertices, int count) {
    int64_t sum = 0;
    for (int i = 0; i < count; ++i) {
        const gm_point_t& a = vertices[i];
        const gm_point_t& b = vertices[(i + 1) % count];
        sum += int64_t{a.x} * b.y - int64_t{b.x} * a.y;
    }
    return sum;
}

bool fitsCoordinate(double value) {
    return value >= INT16_MIN && value <= INT16_MAX;
}

}  // namespace

int gm_centroid_p(gm_point_t* centroid, const gm_point_t* vertices, int count) {
    if (centroid == nullptr || vertices == nullptr || count < 3) {
        return GM_ERR_ARGUMENT;
    }
    if (twiceSignedArea(vertices, count) == 0) {
        return GM_ERR_DEGENERATE;
    }
    // The weighted sums are taken relative to the first vertex, which keeps
    // their magnitude (and the rounding error of the doubles) small.
    const gm_point_t origin = vertices[0];
    double twiceArea = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int i = 0; i < count; ++i) {
        const int64_t ax = vertices[i].x - origin.x;
        const int64_t ay = vertices[i].y - origin.y;
        const int64_t bx = vertices[(i + 1) % count].x - origin.x;
        const int64_t by = vertices[(i + 1) % count].y - origin.y;
        const auto cross = static_cast<double>(ax * by - bx * ay);
        twiceArea += cross;
        sumX += static_cast<double>(ax + bx) * cross;
        sumY += static_cast<double>(ay + by) * cross;
    }
    const double x = std::round(origin.x + sumX / (3.0 * twiceArea));
    const double y = std::round(origin.y + sumY / (3.0 * twiceArea));
    // A self-crossing outline whose lobes nearly cancel can put the centroid
    // far outside its vertices.
    if (!fitsCoordinate(x) || !fitsCoordinate(y)) {
        return GM_ERR_RANGE;
    }
    centroid->x = static_cast<int16_t>(x);
    centroid->y = static_cast<int16_t>(y);
    return GM_OK;
}

int gm_area_p(int* area, const gm_point_t* vertices, int count) {
    if (area == nullptr || vertices == nullptr || count < 3) {
        return GM_ERR_ARGUMENT;
    }
    const int64_t twice = std::llabs(twiceSignedArea(vertices, count));
    const int64_t rounded = (twice + 1) / 2;
    if (rounded > INT_MAX) {
        return GM_ERR_RANGE;
    }
    *area = static_cast<int>(rounded);
    return GM_OK;
}
