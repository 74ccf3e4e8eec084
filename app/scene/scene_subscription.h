#pragma once

#include "scene/video_scene_subscriber.h"

// Subscribing one camera on the callback transport.
class SceneSubscription {
  public:
    // Creates a subscriber for the camera with the scene frame format, switches
    // on the contents of the mask, sets both callbacks (userData comes back in
    // them) and subscribes. Null when creating or subscribing fails.
    static video_scene_subscriber_st* subscribe(int cameraId, unsigned mask, void* userData,
                                                video_scene_subscriber_message_cb onMessage,
                                                video_scene_subscriber_disconnect_cb onDisconnect);
};
