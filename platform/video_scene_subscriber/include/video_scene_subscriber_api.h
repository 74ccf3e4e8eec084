#pragma once

// The scene subscriber library: delivers the scene frames of one video
// channel through callbacks on a thread of the library.
//
// Every call except create returns 0 on success or one of the negative
// VIDEO_SCENE_SUBSCRIBER_* codes. Each frame is a NUL-terminated buffer
// allocated with malloc; it belongs to the message callback, which releases it
// with free. When the connection to the scene service is lost the disconnect
// callback is called once and the subscriber delivers nothing more.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct video_scene_subscriber video_scene_subscriber_st;

// Frame formats. Scene frames (the encoding the scene library decodes) are 2.
typedef enum { DATA_FORMAT_SCENE = 2 } data_format_t;

typedef void (*video_scene_subscriber_disconnect_cb)(void* user_data);
typedef void (*video_scene_subscriber_message_cb)(char* frame, void* user_data);

enum {
    VIDEO_SCENE_SUBSCRIBER_OK = 0,
    VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT = -1,
    VIDEO_SCENE_SUBSCRIBER_ERR_STATE = -2,
    VIDEO_SCENE_SUBSCRIBER_ERR_NO_PROVIDER = -3,
    VIDEO_SCENE_SUBSCRIBER_ERR_FORMAT = -4,
    VIDEO_SCENE_SUBSCRIBER_ERR_POLICY = -6
};

// NULL for a negative channel or an unknown format.
video_scene_subscriber_st* video_scene_subscriber_create(int channel, data_format_t format,
                                                         void* user_data);
// Unsubscribes when needed and releases the subscriber.
int video_scene_subscriber_delete(video_scene_subscriber_st* subscriber);
// Connects to the scene service and starts delivering. ERR_STATE when already
// subscribed or no message callback is set; ERR_NO_PROVIDER when the service
// cannot be reached.
int video_scene_subscriber_subscribe(video_scene_subscriber_st* subscriber);
// Stops delivering; no callback runs after it returns (unless called from a
// callback, which may still be returning). ERR_STATE when not subscribed.
int video_scene_subscriber_unsubscribe(video_scene_subscriber_st* subscriber);

// The settings below are taken before subscribe; afterwards they give ERR_STATE.
int video_scene_subscriber_set_on_disconnect_callback(video_scene_subscriber_st* subscriber,
                                                      video_scene_subscriber_disconnect_cb cb);
int video_scene_subscriber_set_on_message_arrived_callback(video_scene_subscriber_st* subscriber,
                                                           video_scene_subscriber_message_cb cb);
int video_scene_subscriber_set_bounding_box_enabled(video_scene_subscriber_st* subscriber);
int video_scene_subscriber_set_polygon_enabled(video_scene_subscriber_st* subscriber);
int video_scene_subscriber_set_velocity_enabled(video_scene_subscriber_st* subscriber);
int video_scene_subscriber_set_low_confident_enabled(video_scene_subscriber_st* subscriber);

#ifdef __cplusplus
}
#endif
