#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/api_version_handler.h"
#include "base/retry_log.h"
#include "base/thread.h"
#include "events/motion_level_event_producer.h"
#include "guard/area_guard.h"
#include "scene/camera_configuration.h"
#include "scene/mote_scene.h"
#include "scene/mote_scene_parser.h"
#include "scene/ptz_events.h"
#include "scene/scene_time_base.h"

class AlarmDataContainer;

// One image channel of the device: receives the scene frames of its channel,
// keeps its tracked objects, runs every frame through its guards in
// configuration order and feeds the motion-level producer. The transports
// (callback or socket) derive from it.
//
// Everything a camera does per frame, per PTZ event and per configuration
// runs under its frame lock. Lock order: the container's lock before the
// frame lock, never the reverse; each guard takes its own lock inside.
class Camera : public Thread {
  public:
    static constexpr int64_t kMotionLevelPeriodUs = 5000000;

    // mask: the scene capabilities to ask for; versions: the scene API
    // versions the camera speaks.
    Camera(int cameraId, int rotation, API_VersionHandler versions, int mask);
    ~Camera() override;

    // Takes one frame; the transport decides who frees it.
    virtual void handleMoteData(char* frame) = 0;

    // Which profile of the camera has its visual confirmation on, and for
    // which viewer (the guard's group header); profileId -1 when none.
    struct VC_Data {
        int profileId = -1;
        std::string id;
    };

    // Replaces every guard with the configuration's (which are taken over),
    // follows its rotation and restarts tracking: all tracked objects are
    // deleted. A visual confirmation that is on stays on for the new guard
    // of the same profile.
    void updateWithNewConfiguration(CameraConfiguration& configuration);
    // Appends a guard; null is ignored.
    void insertGuard(std::unique_ptr<Guard> guard);
    // The guard of the profile, or null.
    Guard* getGuard(int profileId);
    bool doesProfileExist(int profileId);
    // Requests a test alarm from the profile's guard; false when it has none.
    bool sendAlarmEvent(int profileId);

    // Turns the visual confirmation of the profile's guard on for the viewer
    // id; false when the camera has no such guard or it refuses.
    bool enableVisualConfirmation(int profileId, const std::string& id);
    void disableVisualConfirmation(int profileId);
    // Every guard's.
    void disableVisualConfirmation();
    // The first guard whose visual confirmation is on and within its time.
    VC_Data getVC_Data();

    void startMotionLevel();
    void stopMotionLevel();
    bool isMotionLevelActive();
    // While motion level is active: reports the summed outline area of the
    // frame's active objects at the frame's time.
    void handleMotionLevel(const ParsedScene& parsedScene, const MoteScene& scene);

    void handlePTZ_PresetEvent(const PTZ_PresetEvent& event);
    void handlePTZ_MovementEvent(const PTZ_MovementEvent& event);

    int getCameraId() const { return m_cameraId; }
    // The number of tracked objects the camera keeps.
    std::size_t getTrackedObjectCount();

  protected:
    // Decodes and parses one frame, asks every guard for its verdict (kept in
    // alarms) and reports the motion level. A frame without a time is only
    // parsed; one that begins a new time base restarts tracking and the
    // guards' time-based state first. Returns the frame's time (microseconds,
    // the scene service's clock). Call under the frame lock.
    int64_t processFrame(const char* frame, AlarmDataContainer& alarms);
    // Tracking starts afresh, and the next timed frame begins a new time
    // base; call under the frame lock.
    void deleteTrackedObjects();

    using FrameLock = std::lock_guard<std::recursive_mutex>;

    const int m_cameraId;
    int m_optionMask;
    const API_VersionHandler m_sceneVersions;
    std::recursive_mutex m_frameLock;

  private:
    using GuardList = std::vector<std::unique_ptr<Guard>>;

    static Guard* findGuard(const GuardList& guards, int profileId);
    // Turns the visual confirmation that is on over to the new guard of its
    // profile, before the old guards go.
    void carryVisualConfirmationOver(const GuardList& newGuards);
    // Restarts tracking and the guards' time-based state at the frame time.
    void startNewTimeBase(int64_t time);
    // False, with a throttled log line, for a frame without a time.
    bool isEvaluable(SceneTime_e time);

    GuardList m_guards;
    int m_currentPreset = PtzState::kNotAtPreset;
    MotionLevelEventProducer m_motionLevel;
    MoteSceneParser m_parser;
    SceneTimeBase m_timeBase;
    RetryLog m_frameTimeLog;
};
