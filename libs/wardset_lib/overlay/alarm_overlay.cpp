#include "overlay/alarm_overlay.h"

#include <syslog.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/camera_info.h"
#include "base/dbus_utils.h"
#include "overlay/alarm_overlay_handler.h"
#include "overlay/cairo_wrapper.h"
#include "overlay/list_overlays.h"
#include "overlay/list_streams.h"
#include "overlay/palette_utils.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int kOverlayCamera = 1;

void warnPalette() {
    syslog(LOG_WARNING, "Failed to set custom palette colors, overlay colors may be incorrect.\n");
}

}  // namespace

// The state to rebuild the handler with after a failure.
struct AlarmOverlay::PendingReset {
    int framesWaited;
    StreamSettings settings;
    std::vector<int> profiles;
};

// Everything under the overlay lock.
struct AlarmOverlay::State {
    std::recursive_mutex mutex;
    bool enabled = false;
    std::unique_ptr<AlarmOverlayHandler> handler;
    std::unique_ptr<PendingReset> pendingReset;  // while there is no handler
};

AlarmOverlay::State* const AlarmOverlay::s_state = new AlarmOverlay::State;

void AlarmOverlay::enableIfSupported() {
    Lock lock(s_state->mutex);
    CameraInfo::setOverlayServiceCheck(doDBusNamesExist);
    if (!s_state->enabled && CameraInfo::isAlarmOverlaySupported()) {
        enable();
    }
}

void AlarmOverlay::enable() {
    if (!Cairo::initialize()) {
        return;
    }
    // Any failure after the drawing library is loaded stops everything
    // started so far: nothing keeps listening for a disabled overlay.
    bool ok = ListStreams::initialize(handleMessage);
    if (!ok) {
        syslog(LOG_WARNING, "Failed to start listening to stream changes.\n");
    } else if (!(ok = PaletteUtils::setCustomPaletteValues())) {
        warnPalette();
    } else if (!(ok = ListOverlays::initialize(handleMessage))) {
        syslog(LOG_WARNING, "Failed to start listening to overlays\n");
    } else {
        try {
            s_state->handler = std::make_unique<AlarmOverlayHandler>();
        } catch (const std::runtime_error& error) {
            syslog(LOG_WARNING, "Failed to start alarm overlay handler: %s\n", error.what());
            ok = false;
        }
    }
    if (!ok) {
        stopListening();
        Cairo::deinitialize();
        return;
    }
    s_state->enabled = true;
}

void AlarmOverlay::stopListening() {
    ListStreams::deinitialize();
    ListOverlays::deinitialize();
}

void AlarmOverlay::disable() {
    Lock lock(s_state->mutex);
    stopListening();
    s_state->handler.reset();
    if (s_state->enabled) {
        Cairo::deinitialize();
    }
    s_state->pendingReset.reset();
    s_state->enabled = false;
}

bool AlarmOverlay::isEnabled() {
    Lock lock(s_state->mutex);
    return s_state->enabled;
}

void AlarmOverlay::handleAlarmResult(const AlarmDataContainer& alarms, int64_t frameTime) {
    Lock lock(s_state->mutex);
    if (!s_state->enabled) {
        return;
    }
    if (!s_state->handler) {
        if (s_state->pendingReset) {
            countTowardsReset();
        }
        return;
    }
    try {
        s_state->handler->handleAlarmResult(alarms, frameTime);
    } catch (const std::runtime_error& error) {
        resetAfterFailure(error.what());
    }
}

void AlarmOverlay::resetAfterFailure(const char* what) {
    syslog(LOG_WARNING, "Alarm overlay failed, rebuilding it in %d frames: %s\n",
           kFramesBeforeReset, what);
    s_state->pendingReset = std::make_unique<PendingReset>(
        PendingReset{0, s_state->handler->getSettings(), s_state->handler->getProfiles()});
    s_state->handler.reset();
}

void AlarmOverlay::countTowardsReset() {
    if (++s_state->pendingReset->framesWaited < kFramesBeforeReset) {
        return;
    }
    try {
        s_state->handler = std::make_unique<AlarmOverlayHandler>(s_state->pendingReset->settings,
                                                                 s_state->pendingReset->profiles);
    } catch (const std::runtime_error&) {
        syslog(LOG_INFO, "Failed to reset alarm overlay handler after %d frames. Retrying...\n",
               kFramesBeforeReset);
        s_state->pendingReset->framesWaited = 0;
        return;
    }
    if (!PaletteUtils::setCustomPaletteValues()) {
        warnPalette();
    }
    s_state->pendingReset.reset();
    replayStreamsAndOverlays();
}

void AlarmOverlay::replayStreamsAndOverlays() {
    // Overlays first, so that our overlays are made between the bands
    // already there.
    for (const ExternalOverlay& overlay : ListOverlays::getCurrentOverlays()) {
        handleMessage(AlarmOverlayMessage(OverlayAddedMessage{overlay}));
    }
    for (const StreamProperties& stream : ListStreams::getCurrentStreams()) {
        handleMessage(AlarmOverlayMessage(StreamAddedMessage{stream}));
    }
}

void AlarmOverlay::setNewConfiguration(const AlarmOverlayConfiguration& configuration) {
    Lock lock(s_state->mutex);
    const auto settings = configuration.streamSettingsByCamera.find(kOverlayCamera);
    if (settings == configuration.streamSettingsByCamera.end()) {
        syslog(LOG_WARNING,
               "StreamSetting for specific camera not found, ignoring alarm overlay settings for "
               "camera %d\n",
               kOverlayCamera);
        return;
    }
    if (s_state->handler) {
        try {
            if (s_state->handler->applySettings(configuration.profileIds, settings->second)) {
                replayStreamsAndOverlays();
            }
        } catch (const std::runtime_error& error) {
            resetAfterFailure(error.what());
        }
    } else if (s_state->pendingReset) {
        *s_state->pendingReset = PendingReset{0, settings->second, configuration.profileIds};
    }
}

void AlarmOverlay::handleMessage(const AlarmOverlayMessage& message) {
    Lock lock(s_state->mutex);
    if (!s_state->handler) {
        return;
    }
    try {
        s_state->handler->handleMessage(message);
    } catch (const std::runtime_error& error) {
        // A message comes from the service's own thread or from a replay
        // within a configuration request: neither may see the failure.
        resetAfterFailure(error.what());
    }
}

bool AlarmOverlay::doDBusNamesExist() {
    GDBusProxy* proxy = nullptr;
    GVariant* answer = nullptr;
    bool graphics = false;
    bool overlay = false;
    try {
        proxy =
            DBusUtils::createProxy("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus", "Failed to create proxy for ListNames");
        answer = DBusUtils::callSync(proxy, "ListNames", nullptr, "DBus ListNames call failed");
        GVariantIter* names = nullptr;
        const char* name = nullptr;
        g_variant_get(answer, "(as)", &names);
        while (g_variant_iter_next(names, "&s", &name)) {
            graphics = graphics || g_strcmp0(name, "com.zelk.Graphics1") == 0;
            overlay = overlay || g_strcmp0(name, "com.zelk.Overlay2") == 0;
        }
        g_variant_iter_free(names);
    } catch (const std::exception& e) {
        syslog(LOG_WARNING, "%s\n", e.what());
    }
    if (answer != nullptr) {
        g_variant_unref(answer);
    }
    if (proxy != nullptr) {
        g_object_unref(proxy);
    }
    return graphics && overlay;
}
