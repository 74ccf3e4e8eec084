// Two cameras on the subscriber library's transport, the second on a dead
// channel whose every subscription attempt hangs (stalling_scene_subscriber).
#include <glib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "camera_test_support.h"
#include "scene/callback_camera.h"
#include "scene/callback_camera_container.h"
#include "scene/video_scene_subscriber.h"
#include "scene_encoder.h"

namespace {

using namespace cameratest;

const char* const kSceneVersions[] = {"1.0", "1.1"};
constexpr unsigned kMask = 14;

class TwoChannelContainer : public CallbackCameraContainer {
  public:
    using CallbackCameraContainer::CallbackCameraContainer;

    CallbackCamera* camera(int cameraId) {
        Lock lock(s_mutex);
        return static_cast<CallbackCamera*>(findCamera(cameraId));
    }
};

char* frameWithOneObject(int64_t timeUs) {
    scene::FrameRecord frame;
    frame.timestampNs = static_cast<uint64_t>(timeUs) * 1000;
    scene::ObjectRecord object;
    object.id = 1;
    object.outline =
        std::vector<scene::Point16>{{-400, -400}, {400, -400}, {400, 400}, {-400, 400}};
    frame.objects.push_back(object);
    return strdup(scene::encodeFrame(frame).c_str());
}

TEST(StalledChannel, RetriesForADeadChannelHoldUpNeitherTheOtherCameraNorProfileQueries) {
    camlet::testing::TemporaryRoot root;
    writeDeviceParameters(root, "2.16", false);
    IntervalTimerObservable::initialize(10000);
    sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    ASSERT_TRUE(VideoSceneSubscriber::initialize(STALLING_SUBSCRIBER_PATH));
    {
        CountingProducer producer;
        TwoChannelContainer container(API_VersionHandler(kSceneVersions, 2), kMask);
        GuardSet set = recordingGuards({7}, producer);
        CameraConfigurationContainer configuration = configurationOf(1, std::move(set.guards));
        configuration.insert(CameraConfiguration(2, 0));
        container.updateWithNewConfiguration(std::move(configuration));
        g_usleep(300000);  // camera 2 is retrying, each attempt hanging for a second

        const gint64 start = g_get_monotonic_time();
        for (int64_t second = 1; second <= 5; ++second) {
            CallbackCameraContainer::newMoteDataCallback(frameWithOneObject(second * 1000000),
                                                         container.camera(1));
            EXPECT_TRUE(container.doesProfileExist(7));
            g_usleep(20000);
        }
        EXPECT_LT(g_get_monotonic_time() - start, 700000);
        EXPECT_EQ(set.probes[0]->frameCount(), 5u);
        container.shutDown();
    }
    sdk_wrapper_cleanup();
    IntervalTimerObservable::deinitialize();
}

}  // namespace
