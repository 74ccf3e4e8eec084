#include "tracking/mote_object.h"

#include <syslog.h>

#include <utility>

MoteObject::MoteObject(int id, int64_t timestamp, MoteVelocity velocity,
                       std::unique_ptr<Polygon> polygon, std::unique_ptr<Polygon> boundingBox,
                       bool confident)
    : m_id(id),
      m_timestamp(timestamp),
      m_velocity(velocity),
      m_polygon_p(std::move(polygon)),
      m_boundingBox_p(std::move(boundingBox)),
      m_confident(confident) {}

namespace {

constexpr int kBoundingBoxBit = 1;
constexpr int kPolygonBit = 2;
constexpr int kVelocityBit = 4;
constexpr int kLowConfidentBit = 8;
// Confidence values from this one up mark a confident object.
constexpr int16_t kConfidentFrom = 4096;

}  // namespace

MoteObject::MoteObject(const scene_object_st* object, int64_t timestamp, int mask)
    : m_id(scene_get_object_id(object)), m_timestamp(timestamp), m_confident(true) {
    if (mask & kVelocityBit) {
        getVelocity(object, m_velocity);
    }
    if (mask & kPolygonBit) {
        m_polygon_p = createPolygon(object, SCENE_PROP_OUTLINE);
    }
    if (mask & kBoundingBoxBit) {
        m_boundingBox_p = createPolygon(object, SCENE_PROP_BOUNDING_BOX);
    }
    if (mask & kLowConfidentBit) {
        const void* value = nullptr;
        if (scene_get_obj_prop(object, SCENE_PROP_CONFIDENCE, &value) < 1 || value == nullptr) {
            syslog(LOG_WARNING, "Could not get confidence value for object\n");
        } else {
            m_confident = *static_cast<const int16_t*>(value) >= kConfidentFrom;
        }
    }
}

std::shared_ptr<const Polygon> MoteObject::createPolygon(const scene_object_st* object,
                                                         scene_prop_e prop) {
    const void* values = nullptr;
    const int count = scene_get_obj_prop(object, prop, &values);
    if (count <= 0 || values == nullptr) {
        return std::make_shared<const Polygon>(nullptr, 0);
    }
    // The library's points are pairs of int16 x, y: the layout of Point.
    return std::make_shared<const Polygon>(static_cast<const Point*>(values), count);
}

bool MoteObject::getVelocity(const scene_object_st* object, MoteVelocity& velocity) {
    const void* values = nullptr;
    if (scene_get_obj_prop(object, SCENE_PROP_VELOCITY, &values) != 2 || values == nullptr) {
        return false;
    }
    const auto* xy = static_cast<const int32_t*>(values);
    velocity.x = xy[0];
    velocity.y = xy[1];
    return true;
}

const Polygon* MoteObject::getOutline() const {
    return m_polygon_p ? m_polygon_p.get() : m_boundingBox_p.get();
}

std::shared_ptr<const Polygon> MoteObject::shareOutline() const {
    return m_polygon_p ? m_polygon_p : m_boundingBox_p;
}

int32_t MoteObject::getWidth() const {
    const Polygon* outline = getOutline();
    return outline != nullptr ? outline->getWidth() : 0;
}

int32_t MoteObject::getHeight() const {
    const Polygon* outline = getOutline();
    return outline != nullptr ? outline->getHeight() : 0;
}
