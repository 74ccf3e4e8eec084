#include "overlay/list_streams.h"

#include <syslog.h>

#include <memory>
#include <stdexcept>

#include "base/convert.h"
#include "overlay/lister_registry.h"
#include "overlay/object_manager_listener.h"

namespace {

constexpr const char* kStreamInterface = "com.zelk.Graphics1.Stream";

using StreamLister = ObjectManagerListener;

constexpr ObjectManagerListener::Names kNames = {
    "com.zelk.Graphics1", "/com/zelk/Graphics1/Stream", "Failed to create proxy for stream lister",
    "Failed to connect the stream lister.", "DBus list stream call failed"};

std::optional<StreamProperties> streamOfObject(GVariant* interfaces) {
    GVariant* properties = lookupInterface(interfaces, kStreamInterface);
    if (properties == nullptr) {
        return std::nullopt;
    }
    std::optional<StreamProperties> stream = ListStreams::toStreamProperties(properties);
    g_variant_unref(properties);
    return stream;
}

class State final : public ObjectManagerSink {
  public:
    bool initialize(AlarmOverlayMessageCallback callback) {
        return m_registry.initialize(
            callback, [this] { return std::make_unique<StreamLister>(kNames, *this); });
    }

    void deinitialize() { m_registry.deinitialize(); }

    std::vector<StreamProperties> getCurrentStreams() {
        std::vector<StreamProperties> streams;
        try {
            m_registry.withLister([&streams](StreamLister& lister) {
                lister.listObjects([&streams](const char*, GVariant* interfaces) {
                    if (std::optional<StreamProperties> stream = streamOfObject(interfaces)) {
                        streams.push_back(*stream);
                    }
                });
            });
        } catch (const std::runtime_error& error) {
            syslog(LOG_INFO,
                   "Failed to get the currently connected streams, streams may have to be "
                   "reloaded for alarm overlay functionality: %s\n",
                   error.what());
            streams.clear();
        }
        return streams;
    }

    void objectAdded(GDBusProxy* source, const char*, GVariant* interfaces) override {
        std::optional<StreamProperties> stream = streamOfObject(interfaces);
        if (stream) {
            deliver(source, AlarmOverlayMessage(StreamAddedMessage{*stream}));
        }
    }

    void objectRemoved(GDBusProxy* source, const char* path) override {
        deliver(source,
                AlarmOverlayMessage(StreamRemovedMessage{ObjectManagerListener::idOfPath(path)}));
    }

  private:
    void deliver(GDBusProxy* source, const AlarmOverlayMessage& message) {
        m_registry.deliver(
            message, [source](const StreamLister& lister) { return lister.isSource(source); });
    }

    ListerRegistry<StreamLister> m_registry{
        {"callback_p was unexpectedly NULL\n", "Failed to initialize StreamLister: %s\n"}};
};

// Never destroyed: a signal may arrive while the process ends. Made before
// main, so before any thread that delivers signals exists.
State* const g_state = new State;

State& state() {
    return *g_state;
}

bool parseResolution(const char* text, int& width, int& height) {
    const std::string resolution(text);
    const std::size_t x = resolution.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const auto w = Convert::stringToInt(resolution.substr(0, x).c_str());
    const auto h = Convert::stringToInt(resolution.substr(x + 1).c_str());
    width = w.first;
    height = h.first;
    return w.second && h.second && width >= 0 && height >= 0;
}

}  // namespace

namespace ListStreams {

bool initialize(AlarmOverlayMessageCallback callback) {
    return state().initialize(callback);
}

void deinitialize() {
    state().deinitialize();
}

std::vector<StreamProperties> getCurrentStreams() {
    return state().getCurrentStreams();
}

std::optional<StreamProperties> toStreamProperties(GVariant* properties) {
    gint32 stream = 0;
    gint32 camera = 0;
    gint32 rotation = 0;
    gboolean mirror = FALSE;
    const gchar* resolution = nullptr;
    const gchar* type = nullptr;
    if (!g_variant_lookup(properties, "Stream", "i", &stream) ||
        !g_variant_lookup(properties, "Resolution", "&s", &resolution) ||
        !g_variant_lookup(properties, "Rotation", "i", &rotation) ||
        !g_variant_lookup(properties, "MirrorEnabled", "b", &mirror) ||
        !g_variant_lookup(properties, "Camera", "i", &camera) ||
        !g_variant_lookup(properties, "Type", "&s", &type)) {
        syslog(LOG_WARNING, "Could not create stream properties, missing mandatory value\n");
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    if (!parseResolution(resolution, width, height)) {
        syslog(LOG_INFO, "Failed to parse %s\n", resolution);
        return std::nullopt;
    }
    return StreamProperties{stream, camera, type,
                            StreamSettings(width, height, rotation, mirror != FALSE)};
}

}  // namespace ListStreams
