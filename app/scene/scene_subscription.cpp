#include "scene/scene_subscription.h"

#include <syslog.h>

#include "base/retry_log.h"
#include "scene/mote_utils.h"

namespace {

void enableContents(video_scene_subscriber_st* subscriber, unsigned mask) {
    using Switch = int (*)(video_scene_subscriber_st*);
    const struct {
        unsigned bit;
        Switch enable;
    } switches[] = {
        {MoteUtils::kBoundingBox, &VideoSceneSubscriber::setBoundingBoxEnabled},
        {MoteUtils::kPolygon, &VideoSceneSubscriber::setPolygonEnabled},
        {MoteUtils::kVelocity, &VideoSceneSubscriber::setVelocityEnabled},
        {MoteUtils::kLowConfident, &VideoSceneSubscriber::setLowConfidentEnabled},
    };
    for (const auto& entry : switches) {
        if ((mask & entry.bit) != 0) {
            entry.enable(subscriber);
        }
    }
}

}  // namespace

video_scene_subscriber_st* SceneSubscription::subscribe(
    int cameraId, unsigned mask, void* userData, video_scene_subscriber_message_cb onMessage,
    video_scene_subscriber_disconnect_cb onDisconnect) {
    video_scene_subscriber_st* subscriber =
        VideoSceneSubscriber::createSubscriber(cameraId, DATA_FORMAT_SCENE, userData);
    if (subscriber == nullptr) {
        return nullptr;
    }
    enableContents(subscriber, mask);
    VideoSceneSubscriber::setOnMessageArrivedCallback(subscriber, onMessage);
    VideoSceneSubscriber::setOnDisconnectCallback(subscriber, onDisconnect);
    const int code = VideoSceneSubscriber::subscribe(subscriber);
    if (code != 0) {
        logMessage(LOG_WARNING, "Could not subscribe to scene data. Code: %d\n", code);
        VideoSceneSubscriber::deleteSubscriber(&subscriber);
        return nullptr;
    }
    return subscriber;
}
