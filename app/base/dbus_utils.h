#pragma once

#include <gio/gio.h>

#include <string>

// Synchronous calls on the system bus that throw std::runtime_error on failure.
class DBusUtils {
  public:
    DBusUtils() = delete;

    static GDBusProxy* createProxy(const char* busName, const char* objectPath,
                                   const char* interface, const std::string& errorMessage,
                                   GDBusProxyFlags flags = G_DBUS_PROXY_FLAGS_NONE);
    // With checkResult also a null answer is a failure. The caller owns the answer.
    static GVariant* callSync(GDBusProxy* proxy, const char* method, GVariant* parameters,
                              const std::string& errorMessage, bool checkResult = true);
    // Calls a method without parameters that answers "(h)" with a descriptor
    // list, and returns the descriptor it names.
    static int getFileDescriptor(GDBusProxy* proxy, const char* method,
                                 const std::string& errorMessage);
};
