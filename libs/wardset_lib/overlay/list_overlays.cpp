#include "overlay/list_overlays.h"

#include <syslog.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "overlay/lister_registry.h"
#include "overlay/object_manager_listener.h"

namespace {

constexpr const char* kOverlayInterface = "com.zelk.Overlay2.Overlay";
constexpr const char* kOverlayPathPrefix = "/com/zelk/Overlay2/Overlay/";

constexpr ObjectManagerListener::Names kNames = {
    "com.zelk.Overlay2", "/com/zelk/Overlay2/Overlay", "Failed to create proxy for overlay lister",
    "Failed to connect the overlay lister.", "DBus list overlays call failed"};

std::optional<ExternalOverlay> overlayOfObject(GVariant* interfaces) {
    GVariant* properties = lookupInterface(interfaces, kOverlayInterface);
    if (properties == nullptr) {
        return std::nullopt;
    }
    std::optional<ExternalOverlay> overlay = ListOverlays::toExternalOverlay(properties);
    g_variant_unref(properties);
    return overlay;
}

// The placement changes of one announced overlay, "PropertiesChanged" of its
// object, for as long as it lives.
class OverlayPropertySubscription {
  public:
    OverlayPropertySubscription(int overlayId, GDBusSignalCallback callback, gpointer data)
        : m_connection_p(g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr)) {
        if (m_connection_p == nullptr) {
            throw std::runtime_error("Failed to create proxy for overlay lister");
        }
        const std::string path = kOverlayPathPrefix + std::to_string(overlayId);
        m_subscription = g_dbus_connection_signal_subscribe(
            m_connection_p, "com.zelk.Overlay2", "org.freedesktop.DBus.Properties",
            "PropertiesChanged", path.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE, callback, data,
            nullptr);
    }
    ~OverlayPropertySubscription() {
        g_dbus_connection_signal_unsubscribe(m_connection_p, m_subscription);
        g_object_unref(m_connection_p);
    }
    OverlayPropertySubscription(const OverlayPropertySubscription&) = delete;
    OverlayPropertySubscription& operator=(const OverlayPropertySubscription&) = delete;

  private:
    GDBusConnection* m_connection_p;  // owned reference
    guint m_subscription = 0;
};

// The overlay lister and the property subscriptions of the overlays it knows.
struct OverlaySubscription {
    // Property changes go to changed(…, owner).
    OverlaySubscription(ObjectManagerSink& owner, GDBusSignalCallback changed)
        : lister(kNames, owner), changedCallback(changed), callbackData(&owner) {}

    void subscribe(int overlayId) {
        auto& subscription = properties[overlayId];
        if (!subscription) {
            subscription = std::make_unique<OverlayPropertySubscription>(overlayId, changedCallback,
                                                                         callbackData);
        }
    }

    ObjectManagerListener lister;
    GDBusSignalCallback changedCallback;
    ObjectManagerSink* callbackData;
    std::map<int, std::unique_ptr<OverlayPropertySubscription>> properties;
};

class State final : public ObjectManagerSink {
  public:
    bool initialize(AlarmOverlayMessageCallback callback) {
        return m_registry.initialize(callback, [this] {
            auto subscription = std::make_unique<OverlaySubscription>(*this, onPropertiesChanged);
            subscription->lister.listObjects([&subscription](const char*, GVariant* interfaces) {
                if (std::optional<ExternalOverlay> overlay = overlayOfObject(interfaces)) {
                    subscription->subscribe(overlay->getOverlayId());
                }
            });
            return subscription;
        });
    }

    void deinitialize() { m_registry.deinitialize(); }

    std::vector<ExternalOverlay> getCurrentOverlays() {
        std::vector<ExternalOverlay> overlays;
        try {
            m_registry.withLister([&overlays](OverlaySubscription& subscription) {
                subscription.lister.listObjects([&](const char*, GVariant* interfaces) {
                    if (std::optional<ExternalOverlay> overlay = overlayOfObject(interfaces)) {
                        subscription.subscribe(overlay->getOverlayId());
                        overlays.push_back(*overlay);
                    }
                });
            });
        } catch (const std::runtime_error& error) {
            syslog(LOG_INFO,
                   "Failed to get the current overlays, alarm overlay combined with dynamic "
                   "overlays may not work correctly: %s\n",
                   error.what());
            overlays.clear();
        }
        return overlays;
    }

    void objectAdded(GDBusProxy* source, const char*, GVariant* interfaces) override {
        std::optional<ExternalOverlay> overlay = overlayOfObject(interfaces);
        if (!overlay) {
            return;
        }
        const int id = overlay->getOverlayId();
        m_registry.deliver(AlarmOverlayMessage(OverlayAddedMessage{*overlay}),
                           [source, id](OverlaySubscription& subscription) {
                               if (!subscription.lister.isSource(source)) {
                                   return false;
                               }
                               subscription.subscribe(id);
                               return true;
                           });
    }

    void objectRemoved(GDBusProxy* source, const char* path) override {
        const int id = ObjectManagerListener::idOfPath(path);
        m_registry.deliver(AlarmOverlayMessage(OverlayRemovedMessage{id}),
                           [source, id](OverlaySubscription& subscription) {
                               if (!subscription.lister.isSource(source)) {
                                   return false;
                               }
                               subscription.properties.erase(id);
                               return true;
                           });
    }

  private:
    static void onPropertiesChanged(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                                    const gchar*, GVariant* parameters, gpointer data) {
        static_cast<State*>(static_cast<ObjectManagerSink*>(data))
            ->propertiesChanged(path, parameters);
    }

    void propertiesChanged(const gchar* path, GVariant* parameters) {
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sa{sv}as)"))) {
            return;
        }
        OverlayProperties properties;
        GVariant* changed = nullptr;
        const gchar* text = nullptr;
        g_variant_get(parameters, "(&s@a{sv}@as)", nullptr, &changed, nullptr);
        if (g_variant_lookup(changed, "Position", "&s", &text)) {
            properties.position = text;
        }
        if (g_variant_lookup(changed, "Size", "&s", &text)) {
            properties.size = text;
        }
        g_variant_unref(changed);
        if (!properties.position && !properties.size) {
            return;
        }
        try {
            properties.overlayId = ObjectManagerListener::idOfPath(path);
        } catch (const std::runtime_error& error) {
            syslog(LOG_WARNING, "Error when handling stream changes: %s\n", error.what());
            return;
        }
        const int id = properties.overlayId;
        m_registry.deliver(AlarmOverlayMessage(OverlayPropertiesChangedMessage{properties}),
                           [id](const OverlaySubscription& subscription) {
                               return subscription.properties.count(id) != 0;
                           });
    }

    ListerRegistry<OverlaySubscription> m_registry{
        {"messageCallback_p was unexpectedly NULL\n",
         "Failed to initialize OverlaySubscription: %s\n"}};
};

// Never destroyed: a signal may arrive while the process ends. Made before
// main, so before any thread that delivers signals exists.
State* const g_state = new State;

State& state() {
    return *g_state;
}

}  // namespace

namespace ListOverlays {

bool initialize(AlarmOverlayMessageCallback callback) {
    return state().initialize(callback);
}

void deinitialize() {
    state().deinitialize();
}

std::vector<ExternalOverlay> getCurrentOverlays() {
    return state().getCurrentOverlays();
}

std::optional<ExternalOverlay> toExternalOverlay(GVariant* properties) {
    gint32 camera = 0;
    gint32 id = 0;
    gboolean scalable = FALSE;
    const gchar* type = nullptr;
    const gchar* position = nullptr;
    const gchar* size = nullptr;
    if (!g_variant_lookup(properties, "Camera", "i", &camera) ||
        !g_variant_lookup(properties, "OverlayType", "&s", &type) ||
        !g_variant_lookup(properties, "OverlayId", "i", &id) ||
        !g_variant_lookup(properties, "Position", "&s", &position) ||
        !g_variant_lookup(properties, "Size", "&s", &size) ||
        !g_variant_lookup(properties, "Scalable", "b", &scalable)) {
        syslog(LOG_WARNING, "Could not create overlay area object, missing mandatory value\n");
        return std::nullopt;
    }
    ExternalOverlay overlay(id, scalable != FALSE, toExternalOverlayType(type));
    overlay.setProperties(OverlayProperties{id, std::string(position), std::string(size)});
    return overlay;
}

}  // namespace ListOverlays
