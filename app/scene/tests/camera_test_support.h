#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "events/state_event_producer_i.h"
#include "guard/area_guard.h"
#include "scenario.h"
#include "scene/camera_configuration_container.h"
#include "temporary_root.h"

namespace cameratest {

// What a guard saw, written by the threads that drive it and read by the test.
class GuardProbe {
  public:
    void recordFrame(std::size_t objectCount);
    void recordCall(const std::string& call);
    void markDestroyed();

    std::size_t frameCount();
    // The object count of every frame so far.
    std::vector<std::size_t> objectCounts();
    std::vector<std::string> calls();
    bool isDestroyed();

    // Waits up to the time-out until at least count frames were seen.
    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout = kTimeout);
    // Waits up to the time-out until the call was made.
    bool waitForCall(const std::string& call, std::chrono::milliseconds timeout = kTimeout);

    static constexpr std::chrono::milliseconds kTimeout{5000};

  private:
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::size_t> m_objectCounts;
    std::vector<std::string> m_calls;
    bool m_destroyed = false;
};

// Counts the events a guard's event handler sends (ends with a time).
class CountingProducer : public StateEventProducerI {
  public:
    StateEventProducerHandle registerEvent(int camera, const std::string& profileName,
                                           const std::string& eventName,
                                           const std::string& niceName) override;
    void unregisterEvent(const StateEventProducerHandle& handle) override;
    void sendStartEvent(const StateEventProducerHandle& handle, const int64_t& time) override;
    void sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time) override;
    void sendEndEvent(const StateEventProducerHandle& handle) override;

    int starts();
    int ends();

  private:
    std::mutex m_mutex;
    int m_starts = 0;
    int m_ends = 0;
};

// A guard bound to no preset that is in alarm while its frame has objects;
// it reports frames, PTZ calls and its destruction to its probe.
class RecordingGuard : public Guard {
  public:
    RecordingGuard(int profileId, std::shared_ptr<GuardProbe> probe, StateEventProducerI& producer);
    ~RecordingGuard() override;

    std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene) override {
        return Guard::checkObjects(scene, "");
    }

    void handleStartupPreset(int preset) override;
    void handleArrivingAtPreset(int preset, const int64_t& time) override;
    void handleLeavingPreset(const int64_t& time) override;
    void handleMovementEvent(bool moving, const int64_t& time) override;

  protected:
    std::unique_ptr<AlarmData> updateObjectsAndGetAlarms(const ParsedScene& scene) override;

  private:
    std::shared_ptr<GuardProbe> m_probe;
};

// A guard per profile id, each with its probe.
struct GuardSet {
    std::vector<std::unique_ptr<Guard>> guards;
    std::vector<std::shared_ptr<GuardProbe>> probes;
};
GuardSet recordingGuards(const std::vector<int>& profileIds, StateEventProducerI& producer);

// A configuration of one camera (rotation 0) with the guards.
CameraConfigurationContainer configurationOf(int cameraId,
                                             std::vector<std::unique_ptr<Guard>> guards);

// Writes the device parameters of a single-channel camera of the platform
// version, a mechanical PTZ device when ptz is set.
void writeDeviceParameters(const camlet::testing::TemporaryRoot& root, const std::string& version,
                           bool ptz);

// A scenario of camera 1: count frames, 20 ms apart from 20 ms on (a frame at
// time 0 has no time), each with the objects
// of the ids (boxes side by side).
scenesim::Scenario framesWithObjects(int count, const std::vector<int32_t>& ids);

}  // namespace cameratest
