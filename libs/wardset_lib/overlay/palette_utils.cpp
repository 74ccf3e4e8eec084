#include "overlay/palette_utils.h"

#include <gio/gio.h>
#include <syslog.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "base/dbus_utils.h"

namespace {

struct PaletteEntry {
    int index;
    guint8 red;
    guint8 green;
    guint8 blue;
    guint8 alpha;
};

// In the order they are set.
constexpr PaletteEntry kPalette[] = {
    {0, 0, 0, 0, 0},
    {5, 0, 0, 0, 0},
    {1, 255, 0, 0, 155},
    {4, 255, 0, 0, 155},
};

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct VariantUnref {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};

void setColor(const PaletteEntry& entry) {
    const std::string path = "/com/zelk/Overlay2/PaletteColor/" + std::to_string(entry.index);
    const std::unique_ptr<GDBusProxy, ObjectUnref> proxy(DBusUtils::createProxy(
        "com.zelk.Overlay2", path.c_str(), "com.zelk.Overlay2.PaletteColor",
        "Failed to create DBus proxy to set palette colors",
        static_cast<GDBusProxyFlags>(G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES |
                                     G_DBUS_PROXY_FLAGS_DO_NOT_CONNECT_SIGNALS)));
    const std::unique_ptr<GVariant, VariantUnref> answer(DBusUtils::callSync(
        proxy.get(), "SetColor",
        g_variant_new("(yyyyb)", entry.red, entry.green, entry.blue, entry.alpha, FALSE),
        "DBus call to SetColor failed"));
}

}  // namespace

bool PaletteUtils::setCustomPaletteValues() {
    try {
        for (const PaletteEntry& entry : kPalette) {
            setColor(entry);
        }
        return true;
    } catch (const std::runtime_error& error) {
        syslog(LOG_WARNING, "Failed to set custom palette color: %s\n", error.what());
        return false;
    }
}
