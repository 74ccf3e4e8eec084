#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/grid.h"
#include "geometry/polygon.h"
#include "guard/dropped_loitering_time.h"
#include "guard/loitering_area_external_data.h"
#include "guard/protection_area.h"

class ParsedScene;
class TrackingObject;

// A polygonal area (with exclude areas) that measures how long objects stay
// in it. Each object's time grows while it is inside, freezes while it is
// only in excluded parts or not evaluated, and drops to 0 when it is seen
// outside. The area's group time grows while any eligible object is inside
// and survives pauses of up to 6 s. An object that vanishes inside the area,
// away from its border, leaves its time for 30 s to a new object appearing
// nearby. Times are microseconds of the frames' monotonic time stamps.
class LoiteringArea {
  public:
    // Thresholds of 0 or less disable their condition. guardId keys the
    // per-object records.
    LoiteringArea(const Polygon& polygon, int guardId, int64_t individualTimeThreshold,
                  int64_t groupTimeThreshold);

    void addExcludeArea(const Polygon& excludeArea);

    // The object's record, created with lastUpdateTime = time when missing.
    LoiteringAreaExternalData& getData(TrackingObject& object, int64_t time);
    // The object's time for a frame at time; skip (a swaying object) leaves
    // it unchanged and gives AREA_OUTSIDE without testing the area.
    ProtectionAreaResult_e updateLoiteringTime(TrackingObject& object, int64_t time, bool skip);
    // The group time for a frame at time, given whether an eligible object
    // was inside or only in excluded parts.
    void updateAreaLoiteringTime(int64_t time, bool anyInside, bool anyExcluded);
    // The object's time in the area, 0 when it has not been evaluated here.
    int64_t getLoiteringTime(const TrackingObject& object) const;
    // The object's time has reached the individual threshold.
    bool doesTriggerAlarm(const TrackingObject& object) const;
    // The group time has reached the group threshold.
    bool doesAreaTriggerAlarm() const;
    // The object's bounding box edges pass near the area's border.
    bool isObjectCloseToBorder(const TrackingObject& object) const;
    // Forgets dropped times older than 30 s, then stores the times of the
    // vanished objects that were inside, away from the border.
    void updateDroppedLoiteringTimes(const std::vector<const TrackingObject*>& vanished,
                                     int64_t time);
    // Times begin anew: the group time and the dropped times are forgotten.
    void restartTimeBase();
    // Objects that appeared in this frame take over the first dropped time
    // stored within 819 scene units of them; each time is taken once.
    void pickUpDroppedTimeForNewObjects(const ParsedScene& scene);

    // The loitering polygon as an SVG element of class "loiteringArea".
    std::string toStringSvg(const std::string& style) const;

    const Polygon& getPolygon() const { return m_protectionArea.getArea(); }
    bool hasIndividualCondition() const { return m_individualTimeThreshold > 0; }
    bool hasGroupCondition() const { return m_groupTimeThreshold > 0; }
    int64_t getIndividualTimeThreshold() const { return m_individualTimeThreshold; }
    int64_t getGroupTimeThreshold() const { return m_groupTimeThreshold; }
    int64_t getGroupLoiteringTime() const { return m_groupLoiteringTime; }
    const std::vector<DroppedLoiteringTime>& getDroppedTimes() const { return m_droppedTimes; }

  private:
    const LoiteringAreaExternalData* findData(const TrackingObject& object) const;
    // The first stored time within the hand-over distance of position, or the end.
    std::vector<DroppedLoiteringTime>::iterator findDroppedTimeNear(Point position);

    ProtectionArea m_protectionArea;
    int64_t m_individualTimeThreshold;
    int64_t m_groupTimeThreshold;
    int64_t m_lastOccupiedTime = 0;
    int64_t m_lastUpdateTime = 0;
    int64_t m_groupLoiteringTime = 0;
    std::string m_dataKey;
    std::vector<DroppedLoiteringTime> m_droppedTimes;  // in the order stored
    Grid m_borderGrid;
};
