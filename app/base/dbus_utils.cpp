#include "dbus_utils.h"

#include <gio/gunixfdlist.h>
#include <unistd.h>

#include <stdexcept>

#include "glib_utils.h"

GDBusProxy* DBusUtils::createProxy(const char* busName, const char* objectPath,
                                   const char* interface, const std::string& errorMessage,
                                   GDBusProxyFlags flags) {
    GError* error = nullptr;
    GDBusProxy* proxy = g_dbus_proxy_new_for_bus_sync(G_BUS_TYPE_SYSTEM, flags, nullptr, busName,
                                                      objectPath, interface, nullptr, &error);
    GlibUtils::throwIfNotOk(proxy, error, errorMessage);
    return proxy;
}

GVariant* DBusUtils::callSync(GDBusProxy* proxy, const char* method, GVariant* parameters,
                              const std::string& errorMessage, bool checkResult) {
    GError* error = nullptr;
    GVariant* result = g_dbus_proxy_call_sync(proxy, method, parameters, G_DBUS_CALL_FLAGS_NONE, -1,
                                              nullptr, &error);
    if (checkResult) {
        GlibUtils::throwIfNotOk(result, error, errorMessage);
    } else {
        GlibUtils::throwIfNotOk(error, errorMessage);
    }
    return result;
}

int DBusUtils::getFileDescriptor(GDBusProxy* proxy, const char* method,
                                 const std::string& errorMessage) {
    GError* error = nullptr;
    GUnixFDList* fdList = nullptr;
    GVariant* result = g_dbus_proxy_call_with_unix_fd_list_sync(
        proxy, method, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &fdList, nullptr, &error);
    GlibUtils::throwIfNotOk(result, error, errorMessage + ": Failed to get command channel");
    gint32 index = -1;
    g_variant_get(result, "(h)", &index);
    g_variant_unref(result);
    if (fdList == nullptr) {
        throw std::runtime_error(errorMessage + ": Failed to get index of FD list\n");
    }
    const int fd = g_unix_fd_list_get(fdList, index, &error);
    g_object_unref(fdList);
    GlibUtils::throwIfNotOk(error, errorMessage + ": Invalid file descriptor");
    if (fd < 0) {
        throw std::runtime_error(errorMessage + ": Invalid file descriptor\n");
    }
    return fd;
}
