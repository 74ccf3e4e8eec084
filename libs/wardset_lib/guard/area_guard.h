#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "events/state_event_handler.h"
#include "filters/exclusion_filter.h"
#include "guard/alarm_data.h"
#include "guard/ptz_state.h"
#include "svg/visual_confirmation_handler.h"

class ParsedScene;
class StateEventProducerI;
class TrackingObject;

// One configured detection profile on one camera. For every frame of its
// camera the guard decides from the PTZ position whether to evaluate the
// frame, lets the concrete guard evaluate the objects against its area, and
// drives the profile's stateful alarm event with the result. While a viewer
// asks for it, each evaluated frame is also published as an SVG picture (the
// visual confirmation). It owns its filters (a low-confidence filter first),
// its event handler and its visual confirmation handler.
//
// Thread safety: frames, PTZ events and test alarm requests may come from
// different threads; each runs under the guard's recursive mutex. Filters and
// exclude areas are added before the guard is handed to its camera.
class Guard {
  public:
    // eventDuration: the minimum event duration in microseconds; eventName:
    // the guard type name the event names are built from; preset: the PTZ
    // preset the guard is bound to (PtzState). Registers the profile's event.
    Guard(const std::string& profileName, int id, int cameraNbr, int64_t eventDuration,
          const std::string& eventName, StateEventProducerI& producer, int preset);
    virtual ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    // The frame's result, or null when this guard ignores the frame (PTZ
    // camera moving, away from the guard's preset, or the frame is older than
    // the latest movement or arrival). While a test alarm runs the result has
    // no objects and the test rectangle to display.
    virtual std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene) = 0;
    // Requests a test alarm: the next frame starts the event, which lasts the
    // minimum event duration.
    virtual void sendAlarmEvent();

    // PTZ events; times are microseconds of the monotonic clock.
    virtual void handleStartupPreset(int preset);
    virtual void handleArrivingAtPreset(int preset, const int64_t& time);
    // Leaving the preset and every movement (start or stop) cancel a test
    // alarm and end the event at once.
    virtual void handleLeavingPreset(const int64_t& time);
    virtual void handleMovementEvent(bool moving, const int64_t& time);

    // The frame times of the camera begin anew at time (a reconnection, or a
    // time earlier than the previous frame's): nothing waits for the old
    // times to come back. An ongoing event ends the minimum duration after
    // time unless the alarm goes on.
    void restartTimeBase(int64_t time);

    // Null is ignored.
    void addExclusionFilter(std::unique_ptr<ExclusionFilter> filter);

    // Starts publishing a picture of every evaluated frame for 15 minutes
    // (again, when already on). groupHeader opens the pictures' drawing group
    // with the viewer's transform and identifies this viewer. False when the
    // picture event cannot be declared.
    bool enableVisualConfirmation(const std::string& groupHeader);
    // Clears the viewer and removes the picture event.
    void disableVisualConfirmation();
    // On, and its 15 minutes have not run out.
    bool isVisualConfirmationAllowedToSend();
    // The group header of the viewer, empty before the first start.
    std::string getVisualConfirmationId();

    int getId() const { return m_id; }

  protected:
    // The evaluation shared by the concrete guards; areaSvg is the guard's
    // area drawing, shown in the pictures while the event is on and during a
    // test alarm.
    std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene, const std::string& areaSvg);

    // The concrete guard's evaluation of a frame that is to be processed;
    // runs under the mutex and never returns null.
    virtual std::unique_ptr<AlarmData> updateObjectsAndGetAlarms(const ParsedScene& scene) = 0;
    // Clears the viewer's picture and ends the event at time.
    virtual void stopAllEvents(const int64_t& time);
    // The concrete guard's part of restartTimeBase; runs under the mutex.
    virtual void restartTimeBasedState() {}
    // Updates every filter's statistics of the object, in list order.
    virtual void updateFilterData(TrackingObject& object);
    // The picture's drawing of the frame's result: the bounding box of every
    // confident object, red when in alarm, green otherwise.
    virtual std::string createVisualConfirmationSvg(const AlarmData& data) const;

    // True when every filter accepts the object (asked in list order, up to
    // the first refusal).
    bool canObjectTriggerAlarm(TrackingObject& object);
    static AlarmDataStatus_e createAlarmStatus(bool alarm, bool canTrigger);

  private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    void handleTestEvent(int64_t time, const std::string& areaSvg);
    std::unique_ptr<AlarmData> createTestAlarmData() const;
    void cancelTestEvent();
    void sendVisualConfirmationEvent(const AlarmData& data, int64_t time,
                                     const std::string& areaSvg);

    int m_id;
    std::vector<std::unique_ptr<ExclusionFilter>> m_filters;
    PtzState m_ptz;
    std::recursive_mutex m_mutex;
    std::unique_ptr<VisualConfirmationHandler> m_visualConfirmation_p;
    std::string m_svgGroupHeader;
    std::unique_ptr<StateEventHandler> m_stateEvent_p;
    bool m_testEventOngoing = false;
    bool m_testEventRequested = false;
};
