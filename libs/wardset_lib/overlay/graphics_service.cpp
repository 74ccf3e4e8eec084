#include "overlay/graphics_service.h"

#include <gio/gio.h>

#include "base/dbus_utils.h"

int requestGraphicsDescriptor(const char* method, const std::string& errorMessage) {
    GDBusProxy* proxy = DBusUtils::createProxy(
        "com.zelk.Graphics1", "/com/zelk/Graphics1", "com.zelk.Graphics1.Overlay",
        "Failed to create overlay graphics proxy",
        static_cast<GDBusProxyFlags>(G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES |
                                     G_DBUS_PROXY_FLAGS_DO_NOT_CONNECT_SIGNALS));
    try {
        const int fd = DBusUtils::getFileDescriptor(proxy, method, errorMessage);
        g_object_unref(proxy);
        return fd;
    } catch (...) {
        g_object_unref(proxy);
        throw;
    }
}
