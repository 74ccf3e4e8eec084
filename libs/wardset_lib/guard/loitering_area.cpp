#include "guard/loitering_area.h"

#include <syslog.h>

#include <algorithm>

#include "geometry/polygon_overlap.h"
#include "guard/guard_record.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

namespace {

// The group time survives pauses of up to 6 s without an eligible object.
constexpr int64_t kMaxGroupPause = 6000000;
// A dropped time is kept for 30 s.
constexpr int64_t kDroppedTimeLifetime = 30000000;
// A new object takes over a dropped time within 819 scene units (a tenth of
// the image width), compared squared.
constexpr int32_t kMaxSquaredHandOverDistance = 819 * 819;

// The border grid: 100 x 100 cells of 81 units over the scene, marking the
// cells within 3 cells of the area's border.
constexpr int kGridCells = 100;
constexpr int kGridMargin = 3;

}  // namespace

LoiteringArea::LoiteringArea(const Polygon& polygon, int guardId, int64_t individualTimeThreshold,
                             int64_t groupTimeThreshold)
    : m_protectionArea(polygon),
      m_individualTimeThreshold(individualTimeThreshold),
      m_groupTimeThreshold(groupTimeThreshold),
      m_dataKey("loiteringArea_" + std::to_string(guardId)),
      m_borderGrid(-kSceneLimit, kSceneLimit, -kSceneLimit, kSceneLimit, kGridCells, kGridCells,
                   kGridMargin, kGridMargin, polygon) {}

void LoiteringArea::addExcludeArea(const Polygon& excludeArea) {
    m_protectionArea.addExcludeArea(excludeArea);
}

LoiteringAreaExternalData& LoiteringArea::getData(TrackingObject& object, int64_t time) {
    return guard::findOrCreateRecord<LoiteringAreaExternalData>(object, m_dataKey, time);
}

ProtectionAreaResult_e LoiteringArea::updateLoiteringTime(TrackingObject& object, int64_t time,
                                                          bool skip) {
    LoiteringAreaExternalData& record = getData(object, time);
    ProtectionAreaResult_e result = AREA_OUTSIDE;
    if (!skip) {
        result = m_protectionArea.checkObject(object);
        if (result == AREA_INSIDE) {
            record.setLoiteringTime(record.getLoiteringTime() + time - record.getLastUpdateTime());
        } else if (result == AREA_OUTSIDE) {
            record.setLoiteringTime(0);
        }
    }
    record.setLastUpdateTime(time);
    return result;
}

void LoiteringArea::updateAreaLoiteringTime(int64_t time, bool anyInside, bool anyExcluded) {
    if (anyInside || anyExcluded) {
        m_lastOccupiedTime = time;
        if (anyInside && m_lastUpdateTime != 0) {
            m_groupLoiteringTime += time - m_lastUpdateTime;
        }
    }
    m_lastUpdateTime = time;
    if (time - m_lastOccupiedTime > kMaxGroupPause) {
        m_groupLoiteringTime = 0;
        m_lastOccupiedTime = 0;
    }
}

void LoiteringArea::restartTimeBase() {
    m_groupLoiteringTime = 0;
    m_lastOccupiedTime = 0;
    m_lastUpdateTime = 0;
    m_droppedTimes.clear();
}

bool LoiteringArea::doesTriggerAlarm(const TrackingObject& object) const {
    if (!hasIndividualCondition()) {
        return false;
    }
    const LoiteringAreaExternalData* record = findData(object);
    if (record == nullptr) {
        syslog(LOG_ERR, "Could not get loitering data from object.\n");
        return false;
    }
    return record->getLoiteringTime() >= m_individualTimeThreshold;
}

bool LoiteringArea::doesAreaTriggerAlarm() const {
    return hasGroupCondition() && m_groupLoiteringTime >= m_groupTimeThreshold;
}

bool LoiteringArea::isObjectCloseToBorder(const TrackingObject& object) const {
    const Polygon& shape = object.getShape();
    const Point a{shape.getMinX(), shape.getMinY()};
    const Point b{shape.getMinX(), shape.getMaxY()};
    const Point c{shape.getMaxX(), shape.getMaxY()};
    const Point d{shape.getMaxX(), shape.getMinY()};
    return m_borderGrid.isAnyCellMarked(a, b) || m_borderGrid.isAnyCellMarked(b, c) ||
           m_borderGrid.isAnyCellMarked(c, d) || m_borderGrid.isAnyCellMarked(d, a);
}

void LoiteringArea::updateDroppedLoiteringTimes(const std::vector<const TrackingObject*>& vanished,
                                                int64_t time) {
    m_droppedTimes.erase(std::remove_if(m_droppedTimes.begin(), m_droppedTimes.end(),
                                        [time](const DroppedLoiteringTime& dropped) {
                                            return time - dropped.droppedTime >
                                                   kDroppedTimeLifetime;
                                        }),
                         m_droppedTimes.end());
    for (const TrackingObject* object : vanished) {
        // Cheapest first: the boxes, then the grid lookups, then the area test.
        if (!overlap::boxesMeet(getPolygon(), object->getShape()) ||
            isObjectCloseToBorder(*object) ||
            m_protectionArea.checkObject(*object) != AREA_INSIDE) {
            continue;
        }
        m_droppedTimes.push_back({getLoiteringTime(*object), time, object->getCentroid()});
    }
}

void LoiteringArea::pickUpDroppedTimeForNewObjects(const ParsedScene& scene) {
    const int64_t time = scene.getTimestamp();
    for (TrackingObject* object : scene.getActiveObjects()) {
        if (m_droppedTimes.empty()) {
            return;
        }
        if (object->getFirstSeen() != time) {
            continue;
        }
        const auto dropped = findDroppedTimeNear(object->getCentroid());
        if (dropped != m_droppedTimes.end()) {
            getData(*object, time).setLoiteringTime(dropped->loiteringTime);
            m_droppedTimes.erase(dropped);
        }
    }
}

int64_t LoiteringArea::getLoiteringTime(const TrackingObject& object) const {
    const LoiteringAreaExternalData* record = findData(object);
    return record != nullptr ? record->getLoiteringTime() : 0;
}

const LoiteringAreaExternalData* LoiteringArea::findData(const TrackingObject& object) const {
    return guard::findRecord<LoiteringAreaExternalData>(object, m_dataKey);
}

std::vector<DroppedLoiteringTime>::iterator LoiteringArea::findDroppedTimeNear(Point position) {
    return std::find_if(m_droppedTimes.begin(), m_droppedTimes.end(),
                        [position](const DroppedLoiteringTime& dropped) {
                            return position.squareDistance(dropped.position) <
                                   kMaxSquaredHandOverDistance;
                        });
}

std::string LoiteringArea::toStringSvg(const std::string& style) const {
    return getPolygon().toStringSvg(style, "loiteringArea");
}
