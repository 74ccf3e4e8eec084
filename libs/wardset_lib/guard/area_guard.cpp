#include "guard/area_guard.h"

#include <algorithm>
#include <utility>

#include "base/camera_info.h"
#include "filters/low_confident_object_filter.h"
#include "geometry/polygon.h"
#include "svg/svg_doc.h"
#include "svg/svg_utils.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

namespace {

const char* const kVisualConfirmationEvent = "xinternal_data";
// A picture viewer is served for 15 minutes after its last start.
constexpr int64_t kVisualConfirmationWindow = 900000000;

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
      m_visualConfirmation_p(std::make_unique<VisualConfirmationHandler>(
          kVisualConfirmationEvent, kVisualConfirmationWindow)),
      m_stateEvent_p(std::make_unique<StateEventHandler>(cameraNbr, id, eventName, profileName,
                                                         eventDuration, producer)) {
    m_filters.push_back(std::make_unique<LowConfidentObjectFilter>());
}

Guard::~Guard() = default;

std::unique_ptr<AlarmData> Guard::checkObjects(const ParsedScene& scene,
                                               const std::string& areaSvg) {
    Lock lock(m_mutex);
    const int64_t time = scene.getTimestamp();
    if (m_testEventRequested) {
        handleTestEvent(time, areaSvg);
        return createTestAlarmData();
    }
    if (!m_ptz.shouldDataBeProcessed(time)) {
        return nullptr;
    }
    std::unique_ptr<AlarmData> data = updateObjectsAndGetAlarms(scene);
    m_stateEvent_p->handleAlarm(data->isAlarm(), time);
    sendVisualConfirmationEvent(*data, time, areaSvg);
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

void Guard::restartTimeBase(int64_t time) {
    Lock lock(m_mutex);
    m_stateEvent_p->restartTimer(time);
    restartTimeBasedState();
}

void Guard::addExclusionFilter(std::unique_ptr<ExclusionFilter> filter) {
    if (filter) {
        m_filters.push_back(std::move(filter));
    }
}

bool Guard::enableVisualConfirmation(const std::string& groupHeader) {
    Lock lock(m_mutex);
    m_svgGroupHeader = groupHeader;
    return m_visualConfirmation_p->enable();
}

void Guard::disableVisualConfirmation() {
    Lock lock(m_mutex);
    m_visualConfirmation_p->disable();
}

bool Guard::isVisualConfirmationAllowedToSend() {
    Lock lock(m_mutex);
    return m_visualConfirmation_p->isAllowedToSend();
}

std::string Guard::getVisualConfirmationId() {
    Lock lock(m_mutex);
    return m_svgGroupHeader;
}

void Guard::stopAllEvents(const int64_t& time) {
    m_visualConfirmation_p->clearScreen();
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

std::string Guard::createVisualConfirmationSvg(const AlarmData& data) const {
    std::string svg;
    for (const ObjectAlarmStatus& entry : data.getObjects()) {
        if (entry.object->isConfident()) {
            svg += entry.object->toStringSvg(
                entry.status == OBJECT_ALARM ? SVG_Utils::alarmStyle() : SVG_Utils::noAlarmStyle());
        }
    }
    return svg;
}

AlarmDataStatus_e Guard::createAlarmStatus(bool alarm, bool canTrigger) {
    if (alarm) {
        return OBJECT_ALARM;
    }
    return canTrigger ? OBJECT_NO_ALARM : OBJECT_FILTERED;
}

// The first frame starts the event; the frame that comes more than the
// minimum duration later ends it, so a test alarm lasts exactly that long.
// Meanwhile the viewer sees the area alone.
void Guard::handleTestEvent(int64_t time, const std::string& areaSvg) {
    if (!m_testEventOngoing) {
        m_testEventOngoing = true;
        m_stateEvent_p->handleAlarm(true, time);
    }
    if (m_stateEvent_p->hasReachedEnd(time)) {
        cancelTestEvent();
        m_stateEvent_p->handleAlarm(false, time);
        m_visualConfirmation_p->clearScreen();
    } else if (m_visualConfirmation_p->isEnabled()) {
        m_visualConfirmation_p->sendEvent(SvgDoc(m_svgGroupHeader, areaSvg), time);
    }
}

std::unique_ptr<AlarmData> Guard::createTestAlarmData() const {
    auto data = std::make_unique<AlarmData>(m_id);
    data->addPolygonToDisplay(&testAlarmRectangle());
    return data;
}

// The area is drawn while the event is on, so that the viewer sees why.
// Once the viewer's time is up nothing is drawn: the handler then only sends
// its final empty text.
void Guard::sendVisualConfirmationEvent(const AlarmData& data, int64_t time,
                                        const std::string& areaSvg) {
    if (!m_visualConfirmation_p->isEnabled()) {
        return;
    }
    SvgDoc doc;
    if (m_visualConfirmation_p->isAllowedToSend(time)) {
        doc = SvgDoc(m_svgGroupHeader, createVisualConfirmationSvg(data));
        if (m_stateEvent_p->isOngoing()) {
            doc += areaSvg;
        }
    }
    m_visualConfirmation_p->sendEvent(doc, time);
}

void Guard::cancelTestEvent() {
    m_testEventRequested = false;
    m_testEventOngoing = false;
}
