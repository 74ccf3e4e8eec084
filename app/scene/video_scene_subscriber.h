#pragma once

#include <gmodule.h>

#include "base/constants.h"
#include "video_scene_subscriber_api.h"

// Access to the scene subscriber library, loaded at run time. Process-wide:
// loaded once before any camera exists, then only read.
class VideoSceneSubscriber {
  public:
    // Loads the library and its ten entry points; logs and returns false on
    // the first failure, leaving nothing loaded.
    static bool initialize(const char* libraryName = constants::kSceneSubscriberLibrary);
    static void deinitialize();

    // A subscriber for the channel of the camera (camera ids count from 1).
    static video_scene_subscriber_st* createSubscriber(int cameraId, data_format_t format,
                                                       void* userData);
    // -1 for a null pp, 0 for a null *pp; otherwise deletes, clears *pp and
    // returns the library's code.
    static int deleteSubscriber(video_scene_subscriber_st** pp);
    static int subscribe(video_scene_subscriber_st* subscriber);
    static int unsubscribe(video_scene_subscriber_st* subscriber);
    static int setOnDisconnectCallback(video_scene_subscriber_st* subscriber,
                                       video_scene_subscriber_disconnect_cb cb);
    static int setOnMessageArrivedCallback(video_scene_subscriber_st* subscriber,
                                           video_scene_subscriber_message_cb cb);
    static int setBoundingBoxEnabled(video_scene_subscriber_st* subscriber);
    static int setPolygonEnabled(video_scene_subscriber_st* subscriber);
    static int setVelocityEnabled(video_scene_subscriber_st* subscriber);
    static int setLowConfidentEnabled(video_scene_subscriber_st* subscriber);

  private:
    using Create = video_scene_subscriber_st* (*)(int, data_format_t, void*);
    using Call = int (*)(video_scene_subscriber_st*);
    using SetDisconnect = int (*)(video_scene_subscriber_st*, video_scene_subscriber_disconnect_cb);
    using SetMessage = int (*)(video_scene_subscriber_st*, video_scene_subscriber_message_cb);

    struct EntryPoints {
        Create create;
        Call remove;
        Call subscribe;
        Call unsubscribe;
        SetDisconnect setOnDisconnect;
        SetMessage setOnMessage;
        Call setBoundingBox;
        Call setPolygon;
        Call setVelocity;
        Call setLowConfident;
    };

    static bool loadEntryPoints(EntryPoints& entries, const char** missing);
    static void closeModule(const char* libraryName);
    // Calls an entry point, reports its code under the wrapper's name and returns it.
    static int callAndReport(Call entry, video_scene_subscriber_st* subscriber, const char* name);
    static int report(int code, const char* name);

    static GModule* s_module_p;
    static EntryPoints s_entries;
};
