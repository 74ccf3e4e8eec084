// A subscriber library whose channel 1 is dead: its first subscription fails
// at once, every later one only after hanging for a second, as a library does
// whose service never answers. Channel 0 subscribes at once and delivers
// nothing; tests hand its camera frames themselves.
#include <unistd.h>

#include <atomic>

#include "video_scene_subscriber_api.h"

struct video_scene_subscriber {
    int channel;
};

namespace {

constexpr int kDeadChannel = 1;
constexpr useconds_t kHangUs = 1000000;

std::atomic<int> g_deadChannelAttempts{0};

}  // namespace

extern "C" {

video_scene_subscriber_st* video_scene_subscriber_create(int channel, data_format_t, void*) {
    return new video_scene_subscriber{channel};
}

int video_scene_subscriber_delete(video_scene_subscriber_st* subscriber) {
    delete subscriber;
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_subscribe(video_scene_subscriber_st* subscriber) {
    if (subscriber->channel != kDeadChannel) {
        return VIDEO_SCENE_SUBSCRIBER_OK;
    }
    if (g_deadChannelAttempts++ > 0) {
        usleep(kHangUs);
    }
    return VIDEO_SCENE_SUBSCRIBER_ERR_NO_PROVIDER;
}

int video_scene_subscriber_unsubscribe(video_scene_subscriber_st*) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_on_disconnect_callback(video_scene_subscriber_st*,
                                                      video_scene_subscriber_disconnect_cb) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_on_message_arrived_callback(video_scene_subscriber_st*,
                                                           video_scene_subscriber_message_cb) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_bounding_box_enabled(video_scene_subscriber_st*) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_polygon_enabled(video_scene_subscriber_st*) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_velocity_enabled(video_scene_subscriber_st*) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_low_confident_enabled(video_scene_subscriber_st*) {
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

}  // extern "C"
