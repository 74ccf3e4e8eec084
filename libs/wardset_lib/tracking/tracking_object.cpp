#include "tracking/tracking_object.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// The scene object's outline; an object reported without one gets the
// small default polygon rather than none.
std::shared_ptr<const Polygon> shapeOf(const MoteObject& mote) {
    std::shared_ptr<const Polygon> outline = mote.shareOutline();
    return outline ? outline : std::make_shared<const Polygon>(nullptr, 0);
}

int16_t toVelocityComponent(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

Velocity velocityOf(const MoteObject& mote) {
    return {toVelocityComponent(mote.getVelocity().x), toVelocityComponent(mote.getVelocity().y)};
}

}  // namespace

TrackingObject::TrackingObject(const MoteObject& mote, int rotation, float aspectRatio)
    : m_box(mote.getWidth(), mote.getHeight(), rotation, aspectRatio),
      m_id(mote.getId()),
      m_firstSeen(mote.getTimestamp()),
      m_lastSeen(mote.getTimestamp()),
      m_maxWidth(m_box.getWidth()),
      m_maxHeight(m_box.getHeight()),
      m_shape_p(shapeOf(mote)),
      m_confident(mote.isConfident()),
      m_velocity(velocityOf(mote)) {
    m_centroid = m_shape_p->getCentroid();
    m_previousPosition = m_centroid;
    m_previousFootBox = m_box.getFootRectangle(m_centroid);
    m_footBox = m_previousFootBox;
}

void TrackingObject::update(const MoteObject& mote) {
    m_shape_p = shapeOf(mote);
    m_previousPosition = m_centroid;
    m_centroid = m_shape_p->getCentroid();
    m_lastSeen = mote.getTimestamp();
    m_velocity = velocityOf(mote);
    m_previousFootBox = m_footBox;
    m_box.update(mote.getWidth(), mote.getHeight());
    m_footBox = m_box.getFootRectangle(m_centroid);
    m_maxWidth = std::max(m_maxWidth, m_box.getWidth());
    m_maxHeight = std::max(m_maxHeight, m_box.getHeight());
    m_confident = mote.isConfident();
}

void TrackingObject::setPreviousPosition(Point position) {
    m_previousPosition = position;
    m_previousFootBox = m_box.getFootRectangle(position);
}

TrackingObjectExternalData* TrackingObject::getData(const std::string& key) {
    const auto found = m_data.find(key);
    return found != m_data.end() ? found->second.get() : nullptr;
}

const TrackingObjectExternalData* TrackingObject::getData(const std::string& key) const {
    const auto found = m_data.find(key);
    return found != m_data.end() ? found->second.get() : nullptr;
}

void TrackingObject::insertData(const std::string& key,
                                std::unique_ptr<TrackingObjectExternalData> record) {
    m_data[key] = std::move(record);
}

void TrackingObject::merge(const std::vector<const TrackingObject*>& sources, bool targetIsSource) {
    for (const TrackingObject* source : sources) {
        if (source != nullptr && source->m_id != m_id) {
            merge(*source, targetIsSource);
        }
    }
}

void TrackingObject::merge(const TrackingObject& source, bool targetIsSource) {
    if (!m_isMergeable || !source.m_isMergeable) {
        return;
    }
    combineSizeProperties(source);
    combineFilterData(source);
    m_firstSeen = std::min(m_firstSeen, source.m_firstSeen);
    if (!targetIsSource) {
        m_previousPosition = source.m_previousPosition;
        m_previousFootBox = source.m_previousFootBox;
    }
}

void TrackingObject::split(const std::vector<TrackingObject*>& parts) const {
    for (TrackingObject* part : parts) {
        if (part != nullptr && part->m_id != m_id) {
            part->splitFromSource(*this);
        }
    }
}

void TrackingObject::splitFromSource(const TrackingObject& source) {
    if (!m_isMergeable || !source.m_isMergeable) {
        return;
    }
    combineSizeProperties(source);
    m_firstSeen = source.m_firstSeen;
    m_previousFootBox = source.m_previousFootBox;
    m_previousPosition = source.m_previousPosition;
    for (const auto& [key, record] : source.m_data) {
        m_data[key] = record->clone();
    }
}

void TrackingObject::combineSizeProperties(const TrackingObject& other) {
    m_box.merge(other.m_box);
    m_maxWidth = std::max(m_maxWidth, other.m_maxWidth);
    m_maxHeight = std::max(m_maxHeight, other.m_maxHeight);
}

void TrackingObject::combineFilterData(const TrackingObject& other) {
    for (const auto& [key, record] : other.m_data) {
        const auto found = m_data.find(key);
        if (found != m_data.end()) {
            found->second->merge(*record);
        } else {
            m_data.emplace(key, record->clone());
        }
    }
}

std::string TrackingObject::toStringSvg(const std::string& style) const {
    return m_shape_p->toBoundingBoxStringSvg(style, "");
}
