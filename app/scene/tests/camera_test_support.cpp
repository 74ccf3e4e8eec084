#include "camera_test_support.h"

#include <utility>

#include "geometry/polygon.h"
#include "tracking/parsed_scene.h"

namespace cameratest {

void GuardProbe::recordFrame(std::size_t objectCount) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_objectCounts.push_back(objectCount);
    m_changed.notify_all();
}

void GuardProbe::recordCall(const std::string& call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
    m_changed.notify_all();
}

void GuardProbe::markDestroyed() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_destroyed = true;
}

std::size_t GuardProbe::frameCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_objectCounts.size();
}

std::vector<std::size_t> GuardProbe::objectCounts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_objectCounts;
}

std::vector<std::string> GuardProbe::calls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

bool GuardProbe::isDestroyed() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_destroyed;
}

bool GuardProbe::waitForFrames(std::size_t count, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return m_objectCounts.size() >= count; }, timeout);
}

bool GuardProbe::waitForCall(const std::string& call, std::chrono::milliseconds timeout) {
    return waitUntil(
        [&] {
            for (const std::string& made : m_calls) {
                if (made == call) {
                    return true;
                }
            }
            return false;
        },
        timeout);
}

bool GuardProbe::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, done);
}

StateEventProducerHandle CountingProducer::registerEvent(int camera, const std::string&,
                                                         const std::string& eventName,
                                                         const std::string& niceName) {
    return StateEventProducerHandle{niceName + "_" + eventName, camera};
}

void CountingProducer::unregisterEvent(const StateEventProducerHandle&) {}

void CountingProducer::sendStartEvent(const StateEventProducerHandle&, const int64_t&) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_starts;
}

void CountingProducer::sendEndEvent(const StateEventProducerHandle&, const int64_t&) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_ends;
}

void CountingProducer::sendEndEvent(const StateEventProducerHandle&) {}

int CountingProducer::starts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_starts;
}

int CountingProducer::ends() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ends;
}

RecordingGuard::RecordingGuard(int profileId, std::shared_ptr<GuardProbe> probe,
                               StateEventProducerI& producer)
    : Guard("Profile" + std::to_string(profileId), profileId, 1, 1000000, "Recording", producer,
            PtzState::kNoPreset),
      m_probe(std::move(probe)) {}

RecordingGuard::~RecordingGuard() {
    m_probe->markDestroyed();
}

void RecordingGuard::handleStartupPreset(int preset) {
    m_probe->recordCall("startup " + std::to_string(preset));
    Guard::handleStartupPreset(preset);
}

void RecordingGuard::handleArrivingAtPreset(int preset, const int64_t& time) {
    m_probe->recordCall("arrive " + std::to_string(preset));
    Guard::handleArrivingAtPreset(preset, time);
}

void RecordingGuard::handleLeavingPreset(const int64_t& time) {
    m_probe->recordCall("leave");
    Guard::handleLeavingPreset(time);
}

void RecordingGuard::handleMovementEvent(bool moving, const int64_t& time) {
    m_probe->recordCall(moving ? "moving" : "stopped");
    Guard::handleMovementEvent(moving, time);
}

std::unique_ptr<AlarmData> RecordingGuard::updateObjectsAndGetAlarms(const ParsedScene& scene) {
    m_probe->recordFrame(scene.getActiveObjects().size());
    auto data = std::make_unique<AlarmData>(getId());
    data->setAlarm(!scene.getActiveObjects().empty());
    return data;
}

GuardSet recordingGuards(const std::vector<int>& profileIds, StateEventProducerI& producer) {
    GuardSet set;
    for (const int id : profileIds) {
        set.probes.push_back(std::make_shared<GuardProbe>());
        set.guards.push_back(std::make_unique<RecordingGuard>(id, set.probes.back(), producer));
    }
    return set;
}

CameraConfigurationContainer configurationOf(int cameraId,
                                             std::vector<std::unique_ptr<Guard>> guards) {
    CameraConfiguration configuration(cameraId, 0);
    for (auto& guard : guards) {
        configuration.insertGuard(std::move(guard));
    }
    CameraConfigurationContainer container;
    container.insert(std::move(configuration));
    return container;
}

void writeDeviceParameters(const camlet::testing::TemporaryRoot& root, const std::string& version,
                           bool ptz) {
    root.writeFile("/etc/camlet/parameters.conf",
                   "root.Properties.EmbeddedDevelopment.Version=" + version +
                       "\n"
                       "root.Properties.PTZ.PTZ=" +
                       (ptz ? "yes" : "no") +
                       "\n"
                       "ImageSource.I0.Sensor.AspectRatio=16:9\n");
}

scenesim::Scenario framesWithObjects(int count, const std::vector<int32_t>& ids) {
    scenesim::Scenario scenario;
    for (int i = 0; i < count; ++i) {
        scenesim::ScenarioFrame frame;
        frame.timeUs = static_cast<int64_t>(i + 1) * 20000;
        for (std::size_t n = 0; n < ids.size(); ++n) {
            const auto x = static_cast<int16_t>(-2000 + 600 * static_cast<int>(n));
            scenesim::ScenarioObject object;
            object.id = ids[n];
            object.outline = {{x, -200},
                              {static_cast<int16_t>(x + 400), -200},
                              {static_cast<int16_t>(x + 400), 400},
                              {x, 400}};
            frame.objects.push_back(object);
        }
        scenario.push_back(frame);
    }
    return scenario;
}

}  // namespace cameratest
