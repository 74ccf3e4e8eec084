#include "scene/video_scene_subscriber.h"

#include <syslog.h>

#include <string>

#include "base/retry_log.h"

GModule* VideoSceneSubscriber::s_module_p = nullptr;
VideoSceneSubscriber::EntryPoints VideoSceneSubscriber::s_entries{};

namespace {

// Codes of the library; anything not listed is reported as unknown.
constexpr int kInvalidRunningState = -2;
constexpr int kNoValidProvider = -3;
constexpr int kInvalidDataFormat = -4;
constexpr int kPolicyError = -6;

}  // namespace

bool VideoSceneSubscriber::loadEntryPoints(EntryPoints& entries, const char** missing) {
    struct Symbol {
        const char* name;
        gpointer* slot;
    };
    const Symbol symbols[] = {
        {"video_scene_subscriber_create", reinterpret_cast<gpointer*>(&entries.create)},
        {"video_scene_subscriber_delete", reinterpret_cast<gpointer*>(&entries.remove)},
        {"video_scene_subscriber_subscribe", reinterpret_cast<gpointer*>(&entries.subscribe)},
        {"video_scene_subscriber_unsubscribe", reinterpret_cast<gpointer*>(&entries.unsubscribe)},
        {"video_scene_subscriber_set_on_disconnect_callback",
         reinterpret_cast<gpointer*>(&entries.setOnDisconnect)},
        {"video_scene_subscriber_set_on_message_arrived_callback",
         reinterpret_cast<gpointer*>(&entries.setOnMessage)},
        {"video_scene_subscriber_set_bounding_box_enabled",
         reinterpret_cast<gpointer*>(&entries.setBoundingBox)},
        {"video_scene_subscriber_set_polygon_enabled",
         reinterpret_cast<gpointer*>(&entries.setPolygon)},
        {"video_scene_subscriber_set_velocity_enabled",
         reinterpret_cast<gpointer*>(&entries.setVelocity)},
        {"video_scene_subscriber_set_low_confident_enabled",
         reinterpret_cast<gpointer*>(&entries.setLowConfident)},
    };
    for (const Symbol& symbol : symbols) {
        if (!g_module_symbol(s_module_p, symbol.name, symbol.slot) || *symbol.slot == nullptr) {
            *missing = symbol.name;
            return false;
        }
    }
    return true;
}

bool VideoSceneSubscriber::initialize(const char* libraryName) {
    if (s_module_p != nullptr) {
        return true;
    }
    std::string error;
    s_module_p = g_module_open(libraryName, G_MODULE_BIND_LAZY);
    if (s_module_p == nullptr) {
        error = "Could not open video_scene_subscriber module";
    } else {
        EntryPoints entries{};
        const char* missing = nullptr;
        if (loadEntryPoints(entries, &missing)) {
            s_entries = entries;
            return true;
        }
        error = std::string("Could not open ") + missing;
        closeModule(libraryName);
    }
    logMessage(LOG_WARNING, "Failed to load video_scene_subsriber. %s\n", error.c_str());
    return false;
}

void VideoSceneSubscriber::deinitialize() {
    closeModule(constants::kSceneSubscriberLibrary);
}

void VideoSceneSubscriber::closeModule(const char* libraryName) {
    s_entries = EntryPoints{};
    if (s_module_p == nullptr) {
        return;
    }
    if (!g_module_close(s_module_p)) {
        logMessage(LOG_WARNING, "Could not close module %s: %s\n", libraryName, g_module_error());
    }
    s_module_p = nullptr;
}

int VideoSceneSubscriber::report(int code, const char* name) {
    switch (code) {
        case 0:
            break;
        case kInvalidRunningState:
            logMessage(LOG_WARNING, "Scene provider in invalid running state (%s).\n", name);
            break;
        case kNoValidProvider:
            logMessage(LOG_WARNING, "No valid scene provider available  (%s).\n", name);
            break;
        case kInvalidDataFormat:
            logMessage(LOG_WARNING, "Invalid data format to scene provider  (%s).\n", name);
            break;
        case kPolicyError:
            logMessage(LOG_WARNING, "System policy error, unauthorized API call (%s).\n", name);
            break;
        default:
            logMessage(LOG_WARNING, "Unknown error in subscriber in (%s).\n", name);
            break;
    }
    return code;
}

int VideoSceneSubscriber::callAndReport(Call entry, video_scene_subscriber_st* subscriber,
                                        const char* name) {
    // Without the library there is no provider to talk to.
    return report(entry != nullptr ? entry(subscriber) : kNoValidProvider, name);
}

video_scene_subscriber_st* VideoSceneSubscriber::createSubscriber(int cameraId,
                                                                  data_format_t format,
                                                                  void* userData) {
    if (s_entries.create == nullptr) {
        return nullptr;
    }
    return s_entries.create(cameraId - 1, format, userData);
}

int VideoSceneSubscriber::deleteSubscriber(video_scene_subscriber_st** pp) {
    if (pp == nullptr) {
        logMessage(LOG_WARNING, "Received NULL instead of subscriber_pp\n");
        return -1;
    }
    if (*pp == nullptr) {
        return 0;
    }
    const int code = callAndReport(s_entries.remove, *pp, "deleteSubscriber");
    *pp = nullptr;
    return code;
}

int VideoSceneSubscriber::subscribe(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.subscribe, subscriber, "subscribe");
}

int VideoSceneSubscriber::unsubscribe(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.unsubscribe, subscriber, "unsubscribe");
}

int VideoSceneSubscriber::setOnDisconnectCallback(video_scene_subscriber_st* subscriber,
                                                  video_scene_subscriber_disconnect_cb cb) {
    const int code = s_entries.setOnDisconnect != nullptr
                         ? s_entries.setOnDisconnect(subscriber, cb)
                         : kNoValidProvider;
    return report(code, "setOnDisconnectCallback");
}

int VideoSceneSubscriber::setOnMessageArrivedCallback(video_scene_subscriber_st* subscriber,
                                                      video_scene_subscriber_message_cb cb) {
    const int code = s_entries.setOnMessage != nullptr ? s_entries.setOnMessage(subscriber, cb)
                                                       : kNoValidProvider;
    return report(code, "setOnMessageArrivedCallback");
}

int VideoSceneSubscriber::setBoundingBoxEnabled(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.setBoundingBox, subscriber, "setBoundingBoxEnabled");
}

int VideoSceneSubscriber::setPolygonEnabled(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.setPolygon, subscriber, "setPolygonEnabled");
}

int VideoSceneSubscriber::setVelocityEnabled(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.setVelocity, subscriber, "setVelocityEnabled");
}

int VideoSceneSubscriber::setLowConfidentEnabled(video_scene_subscriber_st* subscriber) {
    return callAndReport(s_entries.setLowConfident, subscriber, "setLowConfidentEnabled");
}
