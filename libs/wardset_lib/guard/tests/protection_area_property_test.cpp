#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geometry/polygon_container.h"
#include "guard/protection_area.h"
#include "random_polygons.h"
#include "tracking/tracking_object.h"

namespace {

std::string describe(const Polygon& polygon) {
    std::string text;
    for (const Point& p : polygon.getPoints()) {
        text += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    return text;
}

// The area test done wholly by clipping: no common point is outside; else
// inside when some piece of area ∩ shape is not covered by the exclude areas.
ProtectionAreaResult_e byClipping(const ProtectionArea& area, const Polygon& shape) {
    if (!area.getArea().doesIntersect(shape)) {
        return AREA_OUTSIDE;
    }
    PolygonContainer pieces;
    area.getArea().intersect(shape, pieces);
    for (const auto& piece : pieces) {
        if (!area.isExcluded(*piece)) {
            return AREA_INSIDE;
        }
    }
    return AREA_EXCLUDED;
}

TEST(ProtectionAreaProperty, GivesTheClipsAnswerForRandomAreasExcludeAreasAndObjects) {
    geometrytest::RandomPolygons random(4242);
    for (const int scale : {8, 60, 2500}) {
        for (int i = 0; i < 1500; ++i) {
            ProtectionArea area(random.any(0, 0, scale));
            for (int e = random.uniform(0, 2); e > 0; --e) {
                area.addExcludeArea(random.any(random.uniform(-scale, scale),
                                               random.uniform(-scale, scale), scale / 2));
            }
            const Polygon shape = random.any(random.uniform(-scale, scale),
                                             random.uniform(-scale, scale), scale / 2 + 1);
            const TrackingObject object(
                MoteObject(1, 0, {}, std::make_unique<Polygon>(shape), nullptr, true), 0, 1.0f);
            ASSERT_EQ(area.checkObject(object), byClipping(area, shape))
                << "area " << describe(area.getArea()) << " shape " << describe(shape) << " with "
                << area.getExcludeAreas().size() << " exclude areas";
        }
    }
}

}  // namespace
