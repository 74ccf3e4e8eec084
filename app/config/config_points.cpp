#include "config_points.h"

#include <syslog.h>

#include <cmath>
#include <vector>

#include "base/status_exception.h"

namespace configPoints {

int32_t toSceneUnits(double value) {
    return static_cast<int32_t>(std::lround(value * kSceneLimit));
}

bool isInView(double value) {
    return value >= -1.0 && value <= 1.0;
}

Polygon createPolygon(const json_t& points, int minVertices, int maxVertices,
                      const std::string& name) {
    const int count = static_cast<int>(json_array_size(&points));
    if (count < minVertices) {
        syslog(LOG_WARNING, "%s contains too few verticies (%d)\n", name.c_str(), count);
        throw StatusException("Too few verticies in a trigger", STATUS_INVALID_PARAMETER);
    }
    if (count > maxVertices) {
        syslog(LOG_WARNING, "%s contains too many verticies (%d)\n", name.c_str(), count);
        throw StatusException("Too many verticies in a trigger", STATUS_INVALID_PARAMETER);
    }
    std::vector<Point> vertices;
    for (int i = 0; i < count; ++i) {
        double x = 0.0;
        double y = 0.0;
        if (json_unpack(json_array_get(&points, static_cast<size_t>(i)), "[FF!]", &x, &y) != 0) {
            throw StatusException("Could not unpack a point for a trigger",
                                  STATUS_MISSING_PARAMETER);
        }
        if (!isInView(x) || !isInView(y)) {
            syslog(LOG_WARNING, "%s %d is out of bounds: x=%f y=%f\n", name.c_str(), i, x, y);
            throw StatusException("Trigger values out of bounds", STATUS_INVALID_PARAMETER);
        }
        vertices.push_back(
            {static_cast<int16_t>(toSceneUnits(x)), static_cast<int16_t>(toSceneUnits(y))});
    }
    return Polygon(vertices.data(), count);
}

}  // namespace configPoints
