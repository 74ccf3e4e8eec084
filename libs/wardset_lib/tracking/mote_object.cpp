#include "tracking/mote_object.h"

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

const Polygon* MoteObject::getOutline() const {
    return m_polygon_p ? m_polygon_p.get() : m_boundingBox_p.get();
}

int32_t MoteObject::getWidth() const {
    const Polygon* outline = getOutline();
    return outline != nullptr ? outline->getWidth() : 0;
}

int32_t MoteObject::getHeight() const {
    const Polygon* outline = getOutline();
    return outline != nullptr ? outline->getHeight() : 0;
}
