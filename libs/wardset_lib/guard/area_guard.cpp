#include "guard/area_guard.h"

#include <algorithm>
#include <utility>

#include "base/camera_info.h"
#include "filters/low_confident_object_filter.h"
#include "geometry/polygon.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

namespace {

// What the overlay outlines during a test alarm: the middle quarter of the image.
const Polygon& testAlarmRectangle() {
    static const Polygon rectangle(-2048, 2048, -2048, 2048);
    return rectangle;
}

}  // namespace

Guard::Guard(const std::string& profileName, int id, int cameraNbr, int64_t eventDuration,
             const std::string& eventName, StateEventProducerI& producer, int preset)
    : m_id(id),
      m_ptz(preset, CameraInfo::isMechanicalPTZ()),
      m_stateEvent_p(std::make_unique<StateEventHandler>(cameraNbr, id, eventName, profileName,
                                                         eventDuration, producer)) {
    m_filters.push_back(std::make_unique<LowConfidentObjectFilter>());
}

Guard::~Guard() = default;

std::unique_ptr<AlarmData> Guard::checkObjects(const ParsedScene& scene) {
    Lock lock(m_mutex);
    const int64_t time = scene.getTimestamp();
    if (m_testEventRequested) {
        handleTestEvent(time);
        return createTestAlarmData();
    }
    if (!m_ptz.shouldDataBeProcessed(time)) {
        return nullptr;
    }
    std::unique_ptr<AlarmData> data = updateObjectsAndGetAlarms(scene);
    m_stateEvent_p->handleAlarm(data->isAlarm(), time);
    return data;
}

// Taken under the mutex: the request may come from another thread than the
// frames that read it.
void Guard::sendAlarmEvent() {
    Lock lock(m_mutex);
    m_testEventRequested = true;
}

void Guard::handleStartupPreset(int preset) {
    Lock lock(m_mutex);
    m_ptz.setCurrentPreset(preset);
}

void Guard::handleArrivingAtPreset(int preset, const int64_t& time) {
    Lock lock(m_mutex);
    m_ptz.arriveAtPreset(preset, time);
}

void Guard::handleLeavingPreset(const int64_t& time) {
    Lock lock(m_mutex);
    cancelTestEvent();
    m_ptz.leavePreset();
    stopAllEvents(time);
}

void Guard::handleMovementEvent(bool moving, const int64_t& time) {
    Lock lock(m_mutex);
    cancelTestEvent();
    m_ptz.setMoving(moving, time);
    stopAllEvents(time);
}

void Guard::addExclusionFilter(std::unique_ptr<ExclusionFilter> filter) {
    if (filter) {
        m_filters.push_back(std::move(filter));
    }
}

void Guard::stopAllEvents(const int64_t& time) {
    m_stateEvent_p->stopAllEvents(time);
}

void Guard::updateFilterData(TrackingObject& object) {
    for (const auto& filter : m_filters) {
        filter->updateFilterData(object);
    }
}

bool Guard::canObjectTriggerAlarm(TrackingObject& object) {
    return std::all_of(m_filters.begin(), m_filters.end(), [&object](const auto& filter) {
        return filter->canObjectTriggerAlarm(object);
    });
}

AlarmDataStatus_e Guard::createAlarmStatus(bool alarm, bool canTrigger) {
    if (alarm) {
        return OBJECT_ALARM;
    }
    return canTrigger ? OBJECT_NO_ALARM : OBJECT_FILTERED;
}

// The first frame starts the event; the frame that comes more than the
// minimum duration later ends it, so a test alarm lasts exactly that long.
void Guard::handleTestEvent(int64_t time) {
    if (!m_testEventOngoing) {
        m_testEventOngoing = true;
        m_stateEvent_p->handleAlarm(true, time);
    }
    if (m_stateEvent_p->hasReachedEnd(time)) {
        cancelTestEvent();
        m_stateEvent_p->handleAlarm(false, time);
    }
}

std::unique_ptr<AlarmData> Guard::createTestAlarmData() const {
    auto data = std::make_unique<AlarmData>(m_id);
    data->addPolygonToDisplay(&testAlarmRectangle());
    return data;
}

void Guard::cancelTestEvent() {
    m_testEventRequested = false;
    m_testEventOngoing = false;
}
