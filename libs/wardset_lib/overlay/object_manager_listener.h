#pragma once

#include <gio/gio.h>

#include <functional>

// Receives what an ObjectManagerListener hears. Lives as long as the process:
// a signal may still be on its way while its listener is being deleted on
// another thread, so the sink checks that the proxy is still its listener's.
class ObjectManagerSink {
  public:
    // interfaces: a{sa{sv}}, the object's interfaces and their properties.
    virtual void objectAdded(GDBusProxy* source, const char* path, GVariant* interfaces) = 0;
    virtual void objectRemoved(GDBusProxy* source, const char* path) = 0;

    virtual ~ObjectManagerSink() = default;
};

// Follows the objects of one object manager of the system bus: lists them
// with "GetManagedObjects" and hands "InterfacesAdded" and
// "InterfacesRemoved" to its sink on the thread of the default main context.
class ObjectManagerListener {
  public:
    struct Names {
        const char* service;
        const char* path;
        const char* proxyError;    // the proxy cannot be made
        const char* connectError;  // the signals cannot be connected
        const char* listError;     // "GetManagedObjects" fails
    };
    using Visit = std::function<void(const char* path, GVariant* interfaces)>;

    // Throws std::runtime_error.
    ObjectManagerListener(const Names& names, ObjectManagerSink& sink);
    ~ObjectManagerListener();
    ObjectManagerListener(const ObjectManagerListener&) = delete;
    ObjectManagerListener& operator=(const ObjectManagerListener&) = delete;

    // Visits every object the manager has now; throws std::runtime_error.
    void listObjects(const Visit& visit) const;
    bool isSource(const GDBusProxy* proxy) const { return proxy == m_proxy_p; }

    // The decimal number after the last "/" of an object path; throws
    // std::runtime_error when there is none.
    static int idOfPath(const char* path);

  private:
    static void onSignal(GDBusProxy* proxy, const gchar* sender, const gchar* signal,
                         GVariant* parameters, gpointer sink);

    const char* m_listError;
    GDBusProxy* m_proxy_p;  // owned
    gulong m_handler = 0;
};

// The a{sv} properties of an interface in an a{sa{sv}} set, or null; the
// caller owns the result.
GVariant* lookupInterface(GVariant* interfaces, const char* interface);
