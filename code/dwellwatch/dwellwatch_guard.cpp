#include "dwellwatch/dwellwatch_guard.h"

#include <utility>

#include "geometry/viewed_coordinate.h"
#include "guard/guard_record.h"
#include "svg/svg_utils.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

namespace {

// Progress bars in scene units: under each object, and for the whole area
// in the lower left corner of the viewed image.
constexpr int kObjectBarLength = 500;
constexpr int kObjectBarThickness = 30;
constexpr int kObjectBarOffset = 100;
constexpr int kGroupBarLength = 1500;
constexpr int kGroupBarThickness = 300;
constexpr Point kGroupBarCorner{-3500, -3500};

}  // namespace

DwellwatchGuard::DwellwatchGuard(const Polygon& loiteringPolygon, const std::string& profileName,
                                 int id, int cameraNbr, int64_t eventDuration,
                                 const std::string& eventName, StateEventProducerI& producer,
                                 int64_t individualTimeThreshold, int64_t groupTimeThreshold,
                                 int rotation, int preset,
                                 std::unique_ptr<SwayingFilter> swayingFilter)
    : Guard(profileName, id, cameraNbr, eventDuration, eventName, producer, preset),
      m_dataKey("dwellwatch_" + std::to_string(id)),
      m_area(loiteringPolygon, id, individualTimeThreshold, groupTimeThreshold),
      m_areaSvg(m_area.toStringSvg(SVG_Utils::loiteringAreaStyle())),
      m_rotation(rotation),
      m_swayingFilter_p(std::move(swayingFilter)) {}

std::unique_ptr<AlarmData> DwellwatchGuard::checkObjects(const ParsedScene& scene) {
    return Guard::checkObjects(scene, m_areaSvg);
}

void DwellwatchGuard::addExcludeArea(const Polygon& excludeArea) {
    m_area.addExcludeArea(excludeArea);
}

DwellwatchGuardExternalData& DwellwatchGuard::getData(TrackingObject& object) {
    return guard::findOrCreateRecord<DwellwatchGuardExternalData>(object, m_dataKey);
}

std::unique_ptr<AlarmData> DwellwatchGuard::updateObjectsAndGetAlarms(const ParsedScene& scene) {
    const int64_t time = scene.getTimestamp();
    collectVanishedObjects(scene);
    m_area.updateDroppedLoiteringTimes(m_vanished, time);
    m_area.pickUpDroppedTimeForNewObjects(scene);

    auto result = std::make_unique<AlarmData>(getId());
    result->reserveObjects(scene.getActiveObjects().size());
    FrameFlags flags;
    for (TrackingObject* object : scene.getActiveObjects()) {
        evaluateObject(*object, time, flags, *result);
    }

    m_area.updateAreaLoiteringTime(time, flags.anyInside, flags.anyExcluded);
    const bool groupAlarm = m_area.doesAreaTriggerAlarm();
    result->setAlarm(flags.anyAlarm || groupAlarm);
    // With the individual condition the overlay boxes the alarming objects;
    // a group alarm outlines the whole area instead.
    if (!m_area.hasIndividualCondition() && groupAlarm) {
        result->addPolygonToDisplay(&m_area.getPolygon());
    }
    return result;
}

void DwellwatchGuard::updateFilterData(TrackingObject& object) {
    Guard::updateFilterData(object);
    if (m_swayingFilter_p) {
        m_swayingFilter_p->updateFilterData(object);
    }
}

void DwellwatchGuard::restartTimeBasedState() {
    m_area.restartTimeBase();
}

AlarmDataStatus_e DwellwatchGuard::createAlarmStatus(bool alarm, bool canTrigger,
                                                     ProtectionAreaResult_e areaResult) {
    return areaResult == AREA_OUTSIDE ? OBJECT_OUTSIDE
                                      : Guard::createAlarmStatus(alarm, canTrigger);
}

void DwellwatchGuard::collectVanishedObjects(const ParsedScene& scene) {
    m_vanished.clear();
    for (const auto& object : scene.getDeletedObjects()) {
        const auto* record = guard::findRecord<DwellwatchGuardExternalData>(*object, m_dataKey);
        if (record != nullptr && record->couldTrigger()) {
            m_vanished.push_back(object.get());
        }
    }
}

void DwellwatchGuard::evaluateObject(TrackingObject& object, int64_t time, FrameFlags& flags,
                                     AlarmData& result) {
    updateFilterData(object);
    DwellwatchGuardExternalData& record = getData(object);
    const bool swaying = isSwaying(object);
    const bool canTrigger = !swaying && canObjectTriggerAlarm(object);
    const ProtectionAreaResult_e areaResult = m_area.updateLoiteringTime(object, time, swaying);
    const bool timeReached = m_area.doesTriggerAlarm(object);
    const bool alarm = (timeReached || record.hasPendingAlarm()) && canTrigger;

    if (canTrigger) {
        record.setCouldTrigger(true);
        flags.anyInside = flags.anyInside || areaResult == AREA_INSIDE;
        flags.anyExcluded = flags.anyExcluded || areaResult == AREA_EXCLUDED;
    }
    object.setMergeable(!swaying);
    if (timeReached && !canTrigger) {
        record.setPendingAlarm(true);
    } else if (alarm) {
        record.setPendingAlarm(false);
    }
    result.addObjectStatus(&object, createAlarmStatus(alarm, canTrigger, areaResult));
    flags.anyAlarm = flags.anyAlarm || alarm;
}

bool DwellwatchGuard::isSwaying(TrackingObject& object) const {
    return m_swayingFilter_p && !m_swayingFilter_p->canObjectTriggerAlarm(object);
}

std::string DwellwatchGuard::createVisualConfirmationSvg(const AlarmData& data) const {
    std::string svg = Guard::createVisualConfirmationSvg(data);
    if (m_area.hasIndividualCondition()) {
        svg += createObjectProgressBars(data);
    }
    if (m_area.hasGroupCondition()) {
        svg += createGroupProgressBar();
    }
    return svg;
}

std::string DwellwatchGuard::createObjectProgressBars(const AlarmData& data) const {
    std::string svg;
    for (const ObjectAlarmStatus& entry : data.getObjects()) {
        const TrackingObject& object = *entry.object;
        const auto* record = guard::findRecord<DwellwatchGuardExternalData>(object, m_dataKey);
        if (entry.status == OBJECT_OUTSIDE || record == nullptr || !record->couldTrigger()) {
            continue;
        }
        const double fraction = static_cast<double>(m_area.getLoiteringTime(object)) /
                                static_cast<double>(m_area.getIndividualTimeThreshold());
        const Point anchor = object.getBox().getViewedLowerLeft(object.getCentroid());
        svg += SVG_Utils::createProgressBar(anchor, kObjectBarLength, kObjectBarThickness, fraction,
                                            m_rotation, kObjectBarOffset);
    }
    return svg;
}

// Whole milliseconds of both times, so that the bar moves in visible steps.
std::string DwellwatchGuard::createGroupProgressBar() const {
    const int64_t elapsed = m_area.getGroupLoiteringTime() / 1000;
    const int64_t threshold = m_area.getGroupTimeThreshold() / 1000;
    const double fraction = static_cast<double>(elapsed) / static_cast<double>(threshold);
    return SVG_Utils::createProgressBar(utils::convertViewedCoordinate(kGroupBarCorner, m_rotation),
                                        kGroupBarLength, kGroupBarThickness, fraction, m_rotation,
                                        0);
}
