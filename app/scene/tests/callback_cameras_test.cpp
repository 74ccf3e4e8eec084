// Cameras on the subscriber library's transport of a mechanical PTZ device:
// frames from the scene simulator through the library stand-in, reconnection
// through the interval timer, PTZ events from the event stand-in.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "camera_test_support.h"
#include "event_log.h"
#include "scene/callback_camera.h"
#include "scene/callback_camera_container.h"
#include "scene/camera_container_factory.h"
#include "scene/video_scene_subscriber.h"
#include "scene_encoder.h"
#include "scene_simulator.h"
#include "zk_event_inject.h"

namespace {

using namespace cameratest;
using std::chrono::milliseconds;
using Calls = std::vector<std::string>;

const char* const kSceneVersions[] = {"1.0", "1.1"};
constexpr unsigned kMask = 14;

// The container with a view of its cameras.
class InspectableContainer : public CallbackCameraContainer {
  public:
    using CallbackCameraContainer::CallbackCameraContainer;

    using CallbackCameraContainer::isMotionLevelActive;
    bool isMotionLevelActive(int cameraId) {
        Lock lock(s_mutex);
        Camera* camera = findCamera(cameraId);
        return camera != nullptr && camera->isMotionLevelActive();
    }
};

// A PTZ event as the event system sends it, stamped now.
std::string ptzEvent(const char* topic1, const std::string& keys) {
    return "{\"keys\":[{\"key\":\"topic0\",\"namespace\":\"tns1\",\"type\":\"string\","
           "\"value\":\"PTZController\"},{\"key\":\"topic1\",\"namespace\":\"tnszelk\","
           "\"type\":\"string\",\"value\":\"" +
           std::string(topic1) + "\"}" + keys + "]}";
}

std::string presetEvent(bool onPreset, int token) {
    return ptzEvent("PTZPresets",
                    std::string(",{\"key\":\"on_preset\",\"namespace\":null,\"type\":\"bool\","
                                "\"value\":") +
                        (onPreset ? "true" : "false") +
                        "},{\"key\":\"PresetToken\",\"namespace\":null,\"type\":\"int\","
                        "\"value\":" +
                        std::to_string(token) + "}");
}

std::string movementEvent(bool moving) {
    return ptzEvent("Move", std::string(",{\"key\":\"is_moving\",\"namespace\":null,"
                                        "\"type\":\"bool\",\"value\":") +
                                (moving ? "true" : "false") + "}");
}

void inject(const std::string& event) {
    ASSERT_TRUE(zk_event_inject(event.c_str(), nullptr)) << event;
}

// A frame of the scene library whose objects each cover the whole view, in
// a malloc'ed buffer as the library hands it over.
char* frameOfWholeViewObjects(int64_t timeUs, int count) {
    scene::FrameRecord frame;
    frame.timestampNs = static_cast<uint64_t>(timeUs) * 1000;
    for (int id = 1; id <= count; ++id) {
        scene::ObjectRecord object;
        object.id = id;
        object.outline =
            std::vector<scene::Point16>{{-4096, -4096}, {4096, -4096}, {4096, 4096}, {-4096, 4096}};
        frame.objects.push_back(object);
    }
    return strdup(scene::encodeFrame(frame).c_str());
}

class CallbackCamerasTest : public ::testing::Test {
  protected:
    CallbackCamerasTest() {
        writeDeviceParameters(m_root, "2.16", true);
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }
    ~CallbackCamerasTest() override {
        sdk_wrapper_cleanup();
        IntervalTimerObservable::deinitialize();
    }

    std::unique_ptr<scenesim::SceneSimulator> startSimulator(scenesim::Scenario scenario,
                                                             double speed = 1.0) {
        scenesim::SimulatorOptions options;
        options.playback.loop = true;
        options.playback.speed = speed;
        auto simulator = std::make_unique<scenesim::SceneSimulator>(std::move(scenario), options);
        simulator->start();
        return simulator;
    }

    std::unique_ptr<InspectableContainer> makeContainer() {
        EXPECT_TRUE(VideoSceneSubscriber::initialize());
        return std::make_unique<InspectableContainer>(m_versions, kMask);
    }

    camlet::testing::TemporaryRoot m_root;
    const API_VersionHandler m_versions{kSceneVersions, 2};
    CountingProducer m_producer;
};

TEST_F(CallbackCamerasTest, FactoryChoosesTheSubscriberLibrary) {
    std::unique_ptr<CameraContainer> container = CameraContainerFactory::create(m_versions, kMask);
    EXPECT_NE(dynamic_cast<CallbackCameraContainer*>(container.get()), nullptr);
}

TEST_F(CallbackCamerasTest, FramesReachEveryGuardAndTestAlarmsStartTheirEvent) {
    auto simulator = startSimulator(framesWithObjects(5, {1, 2, 3}));
    auto container = makeContainer();
    GuardSet set = recordingGuards({7, 8}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));

    for (const auto& probe : set.probes) {
        ASSERT_TRUE(probe->waitForFrames(5));
        EXPECT_EQ(probe->objectCounts().front(), 3u);
    }
    const int startsBefore = m_producer.starts();
    ASSERT_TRUE(container->sendAlarmEvent(8));
    const auto end = std::chrono::steady_clock::now() + GuardProbe::kTimeout;
    while (m_producer.starts() == startsBefore && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    EXPECT_GT(m_producer.starts(), startsBefore);
}

TEST_F(CallbackCamerasTest, LostSubscriptionIsRenewedOnceTheServiceReturns) {
    auto simulator = startSimulator(framesWithObjects(5, {1}));
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
    ASSERT_TRUE(set.probes[0]->waitForFrames(2));

    simulator.reset();
    std::this_thread::sleep_for(milliseconds(500));  // a few failed attempts
    const std::size_t seen = set.probes[0]->frameCount();

    simulator = startSimulator(framesWithObjects(5, {1}));
    EXPECT_TRUE(set.probes[0]->waitForFrames(seen + 3));
}

TEST_F(CallbackCamerasTest, CameraWhoseFirstSubscriptionFailsIsSubscribedLater) {
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
    EXPECT_EQ(container->getCameraCount(), 1u);

    auto simulator = startSimulator(framesWithObjects(5, {1}));
    EXPECT_TRUE(set.probes[0]->waitForFrames(3));
}

TEST_F(CallbackCamerasTest, AfterShutdownFramesAreFreedWithoutBeingParsed) {
    auto simulator = startSimulator(framesWithObjects(5, {1}));
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
    ASSERT_TRUE(set.probes[0]->waitForFrames(2));

    container->shutDown();
    const std::size_t seen = set.probes[0]->frameCount();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(set.probes[0]->frameCount(), seen);
}

TEST_F(CallbackCamerasTest, CamerasAreRemovedWhileTheirFramesKeepComing) {
    // A frame every millisecond: removal meets frames in delivery.
    auto simulator = startSimulator(framesWithObjects(20, {1, 2}), 20.0);
    auto container = makeContainer();
    for (int round = 0; round < 100; ++round) {
        GuardSet set = recordingGuards({7}, m_producer);
        container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
        ASSERT_TRUE(set.probes[0]->waitForFrames(1));
        container->updateWithNewConfiguration(CameraConfigurationContainer());
        EXPECT_TRUE(set.probes[0]->isDestroyed());
    }
    EXPECT_EQ(container->getCameraCount(), 0u);
}

TEST_F(CallbackCamerasTest, PtzEventsReachTheGuards) {
    auto simulator = startSimulator(framesWithObjects(5, {1}));
    auto container = makeContainer();
    GuardSet first = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(first.guards)));
    GuardProbe& probe = *first.probes[0];

    inject(presetEvent(true, 3));
    inject(presetEvent(true, -1));       // names no preset: ignored
    inject(presetEvent(false, 2));       // leaves a preset the camera is not at: ignored
    inject(ptzEvent("PTZPresets", ""));  // fields missing: dropped
    inject(presetEvent(false, 3));
    inject(movementEvent(true));
    inject(movementEvent(false));
    ASSERT_TRUE(probe.waitForCall("stopped"));
    EXPECT_EQ(probe.calls(), (Calls{"startup -3", "arrive 3", "leave", "moving", "stopped"}));

    // A new configuration's guards start at the preset the camera is at.
    inject(presetEvent(true, 5));
    ASSERT_TRUE(probe.waitForCall("arrive 5"));
    GuardSet second = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(second.guards)));
    EXPECT_EQ(second.probes[0]->calls(), Calls{"startup 5"});

    // Shutdown ends both subscriptions: nobody listens for PTZ events any more.
    container->shutDown();
    EXPECT_FALSE(zk_event_inject(movementEvent(true).c_str(), nullptr));
}

TEST_F(CallbackCamerasTest, MotionLevelFollowsTheContainerAndItsNewCameras) {
    auto container = makeContainer();
    container->updateWithNewConfiguration(configurationOf(1, {}));
    EXPECT_FALSE(container->isMotionLevelActive());

    container->startMotionLevel();
    CameraConfigurationContainer twoCameras = configurationOf(1, {});
    twoCameras.insert(CameraConfiguration(2, 0));
    container->updateWithNewConfiguration(std::move(twoCameras));
    EXPECT_TRUE(container->isMotionLevelActive(2));

    container->stopMotionLevel();
    EXPECT_FALSE(container->isMotionLevelActive());
}

TEST_F(CallbackCamerasTest, CameraReportsMotionLevelOnlyWhileActiveAndStopsReceiving) {
    CallbackCamera camera(1, 0, m_versions, static_cast<int>(kMask));
    GuardSet set = recordingGuards({7}, m_producer);
    camera.insertGuard(std::move(set.guards[0]));

    camera.handleMoteData(frameOfWholeViewObjects(1000, 1));
    EXPECT_EQ(eventlog::read(m_root, "declare"), Calls{});
    camera.startMotionLevel();
    // Forty outlines of the whole view add up to more than an int holds.
    camera.handleMoteData(frameOfWholeViewObjects(2000, 40));
    EXPECT_EQ(eventlog::read(m_root, "declare"), Calls{"declare Camera1MotionLevel"});
    EXPECT_EQ(set.probes[0]->objectCounts(), (std::vector<std::size_t>{1, 40}));

    camera.stop();
    camera.handleMoteData(frameOfWholeViewObjects(3000, 1));  // freed unprocessed
    camera.handleMoteData(nullptr);
    EXPECT_EQ(set.probes[0]->frameCount(), 2u);
}

// The guard is in alarm while its frame has objects; its events last at least 1 s.
TEST_F(CallbackCamerasTest, FramesWithoutATimeAreTrackedOnlyAndTimeGoingBackRestartsTheEvent) {
    constexpr int64_t kSecond = 1000000;
    CallbackCamera camera(1, 0, m_versions, static_cast<int>(kMask));
    GuardSet set = recordingGuards({7}, m_producer);
    camera.insertGuard(std::move(set.guards[0]));
    camera.handleMoteData(frameOfWholeViewObjects(100 * kSecond, 1));
    ASSERT_EQ(m_producer.starts(), 1);

    // Parsed, so tracking follows, but not evaluated: the event keeps its time.
    camera.handleMoteData(frameOfWholeViewObjects(0, 2));
    EXPECT_EQ(camera.getTrackedObjectCount(), 2u);
    camera.handleMoteData(frameOfWholeViewObjects(100 * kSecond + kSecond / 2, 0));
    EXPECT_EQ(set.probes[0]->frameCount(), 2u);
    EXPECT_EQ(m_producer.ends(), 0);

    // Time starts over: tracking restarts, and the event ends its minimum
    // duration after the first frame of the new times.
    camera.handleMoteData(frameOfWholeViewObjects(5 * kSecond, 0));
    EXPECT_EQ(camera.getTrackedObjectCount(), 0u);
    camera.handleMoteData(frameOfWholeViewObjects(6 * kSecond, 0));
    EXPECT_EQ(m_producer.ends(), 0);
    camera.handleMoteData(frameOfWholeViewObjects(6 * kSecond + 1, 0));
    EXPECT_EQ(m_producer.ends(), 1);
}

}  // namespace
