#include "scene_simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "base/api_version_handler.h"
#include "scenario_reader.h"
#include "scene.h"
#include "scene/scene_subscription.h"
#include "scene/socket_scene_stream.h"
#include "temporary_root.h"

using namespace scenesim;

namespace {

const char* const kSceneVersions[] = {"1.0", "1.1"};

Scenario twoChannelScenario() {
    std::istringstream in(
        R"({"t_us":1000,"objects":[{"id":1,"box":[0,0,10,10],"confidence":100}]})"
        "\n"
        R"({"t_us":1000,"channel":2,"objects":[{"id":9,"box":[0,0,10,10]}]})"
        "\n"
        R"({"t_us":21000,"objects":[{"id":2,"box":[0,0,10,10]}],"events":[{"action":"delete","ids":[1]}]})"
        "\n");
    return readScenario(in);
}

// Object ids and the time (microseconds) of a frame text.
std::string describe(const char* text) {
    scene_st* scene = scene_copy_from_area(text);
    if (scene == nullptr) {
        return "undecodable";
    }
    const void* value = nullptr;
    std::string description = scene_get_prop(scene, SCENE_PROP_TIMESTAMP, &value) == 1
                                  ? std::to_string(*static_cast<const uint64_t*>(value) / 1000)
                                  : "-";
    for (auto* o = scene_next_object(scene, nullptr); o; o = scene_next_object(scene, o)) {
        description += " " + std::to_string(scene_get_object_id(o));
    }
    scene_delete(scene);
    return description;
}

class SceneSimulatorTest : public ::testing::Test {
  protected:
    camlet::testing::TemporaryRoot m_root;
    API_VersionHandler m_versions{kSceneVersions, 2};
};

struct Receiver {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> frames;
    bool disconnected = false;

    static void onMessage(char* frame, void* self_p) {
        auto* self = static_cast<Receiver*>(self_p);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->frames.push_back(describe(frame));
        std::free(frame);
        self->changed.notify_all();
    }
    static void onDisconnect(void* self_p) {
        auto* self = static_cast<Receiver*>(self_p);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->disconnected = true;
        self->changed.notify_all();
    }
};

}  // namespace

TEST_F(SceneSimulatorTest, SocketStreamNegotiatesAndPlaysItsChannel) {
    SimulatorOptions options;
    options.sceneVersion = "1.0";
    options.closeWhenDone = true;
    SceneSimulator simulator(twoChannelScenario(), options);
    simulator.start();

    SocketSceneStream stream(1, m_versions);
    int mask = 14;
    ASSERT_TRUE(stream.open(mask));
    EXPECT_EQ(mask, 6);  // a 1.0 service: no low-confidence objects
    std::vector<std::string> frames;
    char* frame = nullptr;
    while (stream.readScene(&frame)) {
        frames.push_back(describe(frame));
        std::free(frame);
    }
    // Object 1 is low confidence and was not asked for.
    EXPECT_EQ(frames, (std::vector<std::string>{"1000", "21000 2"}));
}

TEST_F(SceneSimulatorTest, SubscriberLibraryReceivesItsChannelThenTheDisconnect) {
    ASSERT_TRUE(VideoSceneSubscriber::initialize());
    SimulatorOptions options;
    options.closeWhenDone = true;
    SceneSimulator simulator(twoChannelScenario(), options);
    simulator.start();

    Receiver receiver;
    video_scene_subscriber_st* subscriber = SceneSubscription::subscribe(
        1, 14, &receiver, &Receiver::onMessage, &Receiver::onDisconnect);
    ASSERT_NE(subscriber, nullptr);
    {
        std::unique_lock<std::mutex> lock(receiver.mutex);
        ASSERT_TRUE(receiver.changed.wait_for(lock, std::chrono::seconds(5),
                                              [&] { return receiver.disconnected; }));
        EXPECT_EQ(receiver.frames, (std::vector<std::string>{"1000 1", "21000 2"}));
    }
    VideoSceneSubscriber::deleteSubscriber(&subscriber);
    VideoSceneSubscriber::deinitialize();
}

TEST_F(SceneSimulatorTest, StopEndsIdleStreams) {
    SceneSimulator simulator(twoChannelScenario(), SimulatorOptions{});
    simulator.start();
    SocketSceneStream stream(2, m_versions);
    int mask = 14;
    ASSERT_TRUE(stream.open(mask));
    char* frame = nullptr;
    ASSERT_TRUE(stream.readScene(&frame));
    EXPECT_EQ(describe(frame), "1000 9");
    std::free(frame);
    simulator.stop();
    EXPECT_FALSE(stream.readScene(&frame));
}
