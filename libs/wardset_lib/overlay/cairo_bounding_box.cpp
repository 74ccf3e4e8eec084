#include "overlay/cairo_bounding_box.h"

#include "geometry/point.h"
#include "overlay/cairo_transform.h"
#include "tracking/tracking_object.h"

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

// Where a coordinate moving at `velocity` units per second is after `age`
// microseconds; far-off predictions stop at the edge of the coordinate range.
int predict(int position, int velocity, int64_t age) {
    return toCoordinate(position + int64_t{velocity} * age / kMicrosecondsPerSecond);
}

}  // namespace

void CairoBoundingBoxContainer::insert(const TrackingObject& object, const StreamSettings& settings,
                                       int64_t age, const ExternalOverlayUnion& overlayUnion) {
    const int id = object.getId();
    if (m_boxes.count(id) != 0) {
        return;
    }
    const Point centre = object.getCentroid();
    const Velocity velocity = object.getVelocity();
    const Polygon& shape = object.getShape();
    insert(id, predict(centre.x, velocity.x, age), predict(centre.y, velocity.y, age),
           shape.getWidth(), shape.getHeight(), settings, overlayUnion);
}

void CairoBoundingBoxContainer::insert(int id, int x, int y, int width, int height,
                                       const StreamSettings& settings,
                                       const ExternalOverlayUnion& overlayUnion) {
    const PixelPoint centre = Transform::Cairo::toPixelValue(x, y, settings, overlayUnion);
    const PixelSize size = Transform::Cairo::scaleSize(width, height, settings);
    m_boxes[id] = {toCoordinate(centre.x - size.width / 2),
                   toCoordinate(centre.y - size.height / 2), toCoordinate(size.width),
                   toCoordinate(size.height)};
}
