#include "scene/video_scene_subscriber.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "camlet_root.h"
#include "scene/scene_subscription.h"
#include "subscriber_protocol.h"
#include "temporary_root.h"
#include "unix_test_server.h"

namespace {

// What a camera would receive through the callbacks.
struct Receiver {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> frames;
    bool disconnected = false;

    static void onMessage(char* frame, void* userData) {
        auto* self = static_cast<Receiver*>(userData);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->frames.emplace_back(frame);
        std::free(frame);  // the frame is ours
        self->changed.notify_all();
    }
    static void onDisconnect(void* userData) {
        auto* self = static_cast<Receiver*>(userData);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->disconnected = true;
        self->changed.notify_all();
    }
    template <typename Condition>
    bool waitFor(Condition condition) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), condition);
    }
};

std::string linkFrame(const std::string& text) {
    const auto length = static_cast<uint32_t>(text.size());
    std::string head(4, '\0');
    for (int i = 0; i < 4; ++i) {
        head[i] = static_cast<char>(length >> (24 - 8 * i));
    }
    return head + text;
}

class VideoSceneSubscriberTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(VideoSceneSubscriber::initialize()); }
    static void TearDownTestSuite() { VideoSceneSubscriber::deinitialize(); }

    camlet::testing::TemporaryRoot m_root;
};

}  // namespace

TEST(VideoSceneSubscriberLoading, MissingLibraryIsReportedAndNothingIsLoaded) {
    EXPECT_FALSE(VideoSceneSubscriber::initialize("libno_such_scene_subscriber.so.0"));
    // Without the library every call reports that there is no provider.
    EXPECT_EQ(VideoSceneSubscriber::createSubscriber(1, DATA_FORMAT_SCENE, nullptr), nullptr);
    EXPECT_EQ(VideoSceneSubscriber::subscribe(nullptr), -3);
}

TEST_F(VideoSceneSubscriberTest, SubscribedCameraReceivesItsFramesAndTheDisconnect) {
    UnixTestServer service(camlet::rootedPath(scene_subscriber::kServicePath));
    Receiver receiver;
    video_scene_subscriber_st* subscriber = SceneSubscription::subscribe(
        1, 14, &receiver, &Receiver::onMessage, &Receiver::onDisconnect);
    ASSERT_NE(subscriber, nullptr);

    const int fd = service.accept();
    ASSERT_GE(fd, 0);
    // Camera 1 is channel 0; the mask's contents were switched on.
    EXPECT_EQ(UnixTestServer::readLine(fd), "SUBSCRIBE 0 14");
    UnixTestServer::sendAll(fd, linkFrame("first") + linkFrame("second"));
    EXPECT_TRUE(receiver.waitFor([&] { return receiver.frames.size() == 2; }));
    EXPECT_EQ(receiver.frames, (std::vector<std::string>{"first", "second"}));

    // Settings after subscribing are refused.
    EXPECT_EQ(VideoSceneSubscriber::setPolygonEnabled(subscriber), -2);

    ::close(fd);
    EXPECT_TRUE(receiver.waitFor([&] { return receiver.disconnected; }));
    EXPECT_EQ(VideoSceneSubscriber::deleteSubscriber(&subscriber), 0);
    EXPECT_EQ(subscriber, nullptr);
}

TEST_F(VideoSceneSubscriberTest, UnsubscribeStopsDeliveryWithoutDisconnect) {
    UnixTestServer service(camlet::rootedPath(scene_subscriber::kServicePath));
    Receiver receiver;
    video_scene_subscriber_st* subscriber = SceneSubscription::subscribe(
        2, 1, &receiver, &Receiver::onMessage, &Receiver::onDisconnect);
    ASSERT_NE(subscriber, nullptr);
    const int fd = service.accept();
    EXPECT_EQ(UnixTestServer::readLine(fd), "SUBSCRIBE 1 1");

    EXPECT_EQ(VideoSceneSubscriber::unsubscribe(subscriber), 0);
    EXPECT_EQ(VideoSceneSubscriber::unsubscribe(subscriber), -2);
    UnixTestServer::sendAll(fd, linkFrame("late"));
    ::close(fd);
    EXPECT_EQ(VideoSceneSubscriber::deleteSubscriber(&subscriber), 0);
    std::lock_guard<std::mutex> lock(receiver.mutex);
    EXPECT_TRUE(receiver.frames.empty());
    EXPECT_FALSE(receiver.disconnected);
}

TEST_F(VideoSceneSubscriberTest, NoServiceMeansNoSubscription) {
    Receiver receiver;
    EXPECT_EQ(SceneSubscription::subscribe(1, 14, &receiver, &Receiver::onMessage,
                                           &Receiver::onDisconnect),
              nullptr);
    video_scene_subscriber_st* subscriber =
        VideoSceneSubscriber::createSubscriber(1, DATA_FORMAT_SCENE, &receiver);
    ASSERT_NE(subscriber, nullptr);
    // No message callback yet: the subscriber is not ready.
    EXPECT_EQ(VideoSceneSubscriber::subscribe(subscriber), -2);
    EXPECT_EQ(VideoSceneSubscriber::setOnMessageArrivedCallback(subscriber, &Receiver::onMessage),
              0);
    EXPECT_EQ(VideoSceneSubscriber::subscribe(subscriber), -3);
    EXPECT_EQ(VideoSceneSubscriber::deleteSubscriber(&subscriber), 0);
}

TEST_F(VideoSceneSubscriberTest, DeleteSubscriberHandlesNulls) {
    EXPECT_EQ(VideoSceneSubscriber::deleteSubscriber(nullptr), -1);
    video_scene_subscriber_st* none = nullptr;
    EXPECT_EQ(VideoSceneSubscriber::deleteSubscriber(&none), 0);
    EXPECT_EQ(VideoSceneSubscriber::createSubscriber(0, DATA_FORMAT_SCENE, nullptr), nullptr);
    EXPECT_EQ(VideoSceneSubscriber::createSubscriber(1, static_cast<data_format_t>(1), nullptr),
              nullptr);
}
