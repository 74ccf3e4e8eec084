#include "overlay/stream_overlay_creator.h"

#include <syslog.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "base/dbus_utils.h"

namespace {

constexpr GDBusProxyFlags kPlainProxy = static_cast<GDBusProxyFlags>(
    G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES | G_DBUS_PROXY_FLAGS_DO_NOT_CONNECT_SIGNALS);

std::string format(const char* pattern, double first, double second) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, first, second);
    return text;
}

int readOverlayId(const std::string& objectPath) {
    GDBusProxy* proxy = DBusUtils::createProxy(
        "com.zelk.Overlay2", objectPath.c_str(), "org.freedesktop.DBus.Properties",
        "Failed to create DBus proxy to get OverlayId", kPlainProxy);
    GVariant* answer = nullptr;
    try {
        answer = DBusUtils::callSync(
            proxy, "Get", g_variant_new("(ss)", "com.zelk.Overlay2.Overlay", "OverlayId"),
            "Failed to call Get for property OverlayId");
    } catch (...) {
        g_object_unref(proxy);
        throw;
    }
    g_object_unref(proxy);
    GVariant* value = nullptr;
    g_variant_get(answer, "(v)", &value);
    const bool isInt = g_variant_is_of_type(value, G_VARIANT_TYPE_INT32);
    const int id = isInt ? g_variant_get_int32(value) : -1;
    g_variant_unref(value);
    g_variant_unref(answer);
    if (!isInt) {
        throw std::runtime_error("Failed to call Get for property OverlayId: not an integer");
    }
    return id;
}

}  // namespace

StreamOverlayCreator::StreamOverlayCreator()
    : m_factory_p(DBusUtils::createProxy("com.zelk.Overlay2", "/com/zelk/Overlay2",
                                         "com.zelk.Overlay2.Factory",
                                         "Failed to create overlay factory proxy", kPlainProxy)) {}

StreamOverlayCreator::~StreamOverlayCreator() {
    g_object_unref(m_factory_p);
}

std::unique_ptr<StreamOverlay> StreamOverlayCreator::createStreamOverlay(
    const StreamSettings& settings, int streamId, const ExternalOverlayUnion& overlayUnion) {
    const int width = settings.getRotationAndMacroBlockCorrectedWidth();
    const int height = settings.getRotationAndMacroBlockCorrectedHeight() -
                       (overlayUnion.getTop() + overlayUnion.getBottom());
    const double top = 2.0 * overlayUnion.getTop() / settings.getRotationCorrectedHeight() - 1.0;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string position = format("%.4f,%.4f", -1.0, top);
    const std::string stream = std::to_string(streamId);

    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{ss}"));
    g_variant_builder_add(&properties, "{ss}", "Size", size.c_str());
    g_variant_builder_add(&properties, "{ss}", "Position", position.c_str());
    g_variant_builder_add(&properties, "{ss}", "Visible", "false");
    g_variant_builder_add(&properties, "{ss}", "OverlayFormat", "palette");
    g_variant_builder_add(&properties, "{ss}", "Stream", stream.c_str());
    g_variant_builder_add(&properties, "{ss}", "Camera", "1");
    GVariant* answer =
        DBusUtils::callSync(m_factory_p, "CreateOverlay", g_variant_new("(a{ss})", &properties),
                            "Failed to create overlay");
    if (!g_variant_is_of_type(answer, G_VARIANT_TYPE("(o)"))) {
        g_variant_unref(answer);
        throw std::runtime_error("Failed to create overlay: unexpected answer");
    }
    const gchar* path = nullptr;
    g_variant_get(answer, "(&o)", &path);
    const std::string objectPath(path);
    g_variant_unref(answer);
    return std::make_unique<StreamOverlay>(streamId, readOverlayId(objectPath), width, height,
                                           objectPath, overlayUnion);
}

void StreamOverlayCreator::unregister(const StreamOverlay& overlay) {
    if (!overlay.isValid()) {
        return;
    }
    try {
        g_variant_unref(DBusUtils::callSync(m_factory_p, "RemoveOverlay",
                                            g_variant_new("(o)", overlay.getObjectPath().c_str()),
                                            "Failed to remove overlay"));
    } catch (const std::runtime_error& error) {
        syslog(LOG_WARNING, "Failed to unregister a streamOverlay: %s\n", error.what());
    }
}
