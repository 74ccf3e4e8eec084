// Cameras on the socket transport (a platform before the subscriber library),
// against the scene simulator and against services that go silent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "camera_test_support.h"
#include "scene/camera_container_factory.h"
#include "scene/socket_camera_container.h"
#include "scene/socket_scene_stream.h"
#include "scene_simulator.h"
#include "unix_test_server.h"

namespace {

using namespace cameratest;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const char* const kSceneVersions[] = {"1.0", "1.1"};
constexpr unsigned kMask = 14;
// What a camera may take to stop: well below one reconnection wait.
constexpr milliseconds kPromptly{150};

// The container with a view of its cameras' tracking.
class InspectableContainer : public SocketCameraContainer {
  public:
    using SocketCameraContainer::SocketCameraContainer;

    // -1 when there is no such camera.
    long trackedObjects(int cameraId) {
        Lock lock(s_mutex);
        Camera* camera = findCamera(cameraId);
        return camera == nullptr ? -1 : static_cast<long>(camera->getTrackedObjectCount());
    }

    bool waitForTrackedObjects(int cameraId, long count) {
        const auto end = Clock::now() + GuardProbe::kTimeout;
        while (trackedObjects(cameraId) != count) {
            if (Clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(milliseconds(10));
        }
        return true;
    }
};

// A scene service that accepts every connection and then says nothing more:
// after the handshake answer when answering is set, or not even that.
class SilentService {
  public:
    SilentService(const std::string& path, bool answering) : m_server(path) {
        m_thread = std::thread([this, answering] { serve(answering); });
    }
    ~SilentService() {
        m_stopping = true;
        m_thread.join();
        for (const int fd : m_connections) {
            ::close(fd);
        }
    }

    // Waits until a camera's request has been taken (and answered).
    bool waitForRequest() {
        const auto end = Clock::now() + GuardProbe::kTimeout;
        while (m_requests.load() == 0) {
            if (Clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(milliseconds(5));
        }
        return true;
    }

  private:
    void serve(bool answering) {
        while (!m_stopping) {
            const int fd = m_server.accept(50);
            if (fd < 0) {
                continue;
            }
            m_connections.push_back(fd);
            UnixTestServer::readLine(fd);
            if (answering) {
                UnixTestServer::sendAll(fd, std::string("1.1 OK", 7));
            }
            ++m_requests;
        }
    }

    UnixTestServer m_server;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_requests{0};
    std::vector<int> m_connections;  // touched by the serving thread until joined
    std::thread m_thread;
};

class SocketCamerasTest : public ::testing::Test {
  protected:
    SocketCamerasTest() { writeDeviceParameters(m_root, "2.14", false); }

    std::unique_ptr<scenesim::SceneSimulator> startSimulator(scenesim::Scenario scenario,
                                                             bool loop = false,
                                                             const std::string& version = "1.1") {
        scenesim::SimulatorOptions options;
        options.playback.loop = loop;
        options.sceneVersion = version;
        auto simulator = std::make_unique<scenesim::SceneSimulator>(std::move(scenario), options);
        simulator->start();
        return simulator;
    }

    std::unique_ptr<InspectableContainer> makeContainer() {
        return std::make_unique<InspectableContainer>(m_versions, kMask);
    }

    camlet::testing::TemporaryRoot m_root;
    const API_VersionHandler m_versions{kSceneVersions, 2};
    CountingProducer m_producer;
};

TEST_F(SocketCamerasTest, FactoryWaitsForTheSceneServiceAndChoosesTheSocketTransport) {
    std::unique_ptr<scenesim::SceneSimulator> simulator;
    std::thread late([&] {
        std::this_thread::sleep_for(milliseconds(300));
        simulator = startSimulator(framesWithObjects(1, {1}));
    });
    const auto start = Clock::now();
    std::unique_ptr<CameraContainer> container = CameraContainerFactory::create(m_versions, kMask);
    const auto waited = Clock::now() - start;
    late.join();

    EXPECT_GE(waited, milliseconds(300));
    EXPECT_NE(dynamic_cast<SocketCameraContainer*>(container.get()), nullptr);
    EXPECT_EQ(container->getCameraCount(), 0u);
}

TEST_F(SocketCamerasTest, FramesReachEveryGuardAndProfilesAreAnswered) {
    auto simulator = startSimulator(framesWithObjects(10, {1, 2}), true);
    auto container = makeContainer();
    GuardSet set = recordingGuards({7, 8}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));

    for (const auto& probe : set.probes) {
        ASSERT_TRUE(probe->waitForFrames(10));
        EXPECT_EQ(probe->objectCounts().front(), 2u);
        EXPECT_EQ(probe->calls(), std::vector<std::string>{"startup -3"});
    }
    EXPECT_TRUE(container->doesProfileExist(8));
    EXPECT_FALSE(container->doesProfileExist(9));
    EXPECT_TRUE(container->sendAlarmEvent(8));
    EXPECT_FALSE(container->sendAlarmEvent(9));
}

TEST_F(SocketCamerasTest, NewConfigurationKeepsTheCameraButReplacesGuardsAndTracking) {
    auto simulator = startSimulator(framesWithObjects(5, {1, 2}));
    auto container = makeContainer();
    GuardSet first = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(first.guards)));
    // Frames that come before the guards are in place may go unseen.
    ASSERT_TRUE(first.probes[0]->waitForFrames(3));
    std::this_thread::sleep_for(milliseconds(200));  // the stream has played out
    EXPECT_EQ(container->trackedObjects(1), 2);

    GuardSet second = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(second.guards)));

    EXPECT_TRUE(first.probes[0]->isDestroyed());
    EXPECT_EQ(container->trackedObjects(1), 0);
    EXPECT_EQ(second.probes[0]->calls(), std::vector<std::string>{"startup -3"});
    // The camera and its stream stay: the simulator, which plays each stream
    // once, sends nothing more.
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(second.probes[0]->frameCount(), 0u);
    EXPECT_EQ(container->getCameraCount(), 1u);
}

TEST_F(SocketCamerasTest, CameraStopsPromptlyWhileItsServiceIsSilent) {
    for (const bool answering : {true, false}) {
        SCOPED_TRACE(answering ? "silent after the handshake" : "silent before the answer");
        SilentService service(SocketSceneStream::defaultServicePath(), answering);
        auto container = makeContainer();
        GuardSet set = recordingGuards({7}, m_producer);
        container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
        ASSERT_TRUE(service.waitForRequest());
        std::this_thread::sleep_for(milliseconds(50));  // the camera is now blocked reading

        const auto start = Clock::now();
        container->updateWithNewConfiguration(CameraConfigurationContainer());
        EXPECT_LT(Clock::now() - start, kPromptly);
        EXPECT_EQ(container->getCameraCount(), 0u);
    }
}

TEST_F(SocketCamerasTest, ReconnectsAfterTheServiceReturnsAndRestartsTracking) {
    auto simulator = startSimulator(framesWithObjects(20, {1, 2}), true);
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
    ASSERT_TRUE(set.probes[0]->waitForFrames(3));

    simulator.reset();
    // The failed read empties the storage; the camera keeps trying.
    EXPECT_TRUE(container->waitForTrackedObjects(1, 0));
    std::this_thread::sleep_for(milliseconds(500));
    const std::size_t seen = set.probes[0]->frameCount();

    simulator = startSimulator(framesWithObjects(20, {1, 2}), true);
    EXPECT_TRUE(set.probes[0]->waitForFrames(seen + 3));
    EXPECT_TRUE(container->waitForTrackedObjects(1, 2));
}

TEST_F(SocketCamerasTest, CameraWaitsForAServiceThatIsNotThereYet) {
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(set.probes[0]->frameCount(), 0u);

    auto simulator = startSimulator(framesWithObjects(5, {1}));
    EXPECT_TRUE(set.probes[0]->waitForFrames(5));
}

TEST_F(SocketCamerasTest, OlderServiceVersionLimitsTheContentsAsked) {
    // Version 1.0 has no low-confidence objects: the second object is not sent.
    scenesim::Scenario scenario = framesWithObjects(3, {1, 2});
    for (auto& frame : scenario) {
        frame.objects[1].confidence = 100;
    }
    auto simulator = startSimulator(std::move(scenario), true, "1.0");
    auto container = makeContainer();
    GuardSet set = recordingGuards({7}, m_producer);
    container->updateWithNewConfiguration(configurationOf(1, std::move(set.guards)));

    ASSERT_TRUE(set.probes[0]->waitForFrames(3));
    EXPECT_EQ(set.probes[0]->objectCounts().front(), 1u);
}

}  // namespace
