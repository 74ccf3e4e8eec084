#include "overlay/object_manager_listener.h"

#include <syslog.h>

#include <stdexcept>
#include <string>

#include "base/convert.h"
#include "base/dbus_utils.h"

ObjectManagerListener::ObjectManagerListener(const Names& names, ObjectManagerSink& sink)
    : m_listError(names.listError),
      m_proxy_p(DBusUtils::createProxy(names.service, names.path,
                                       "org.freedesktop.DBus.ObjectManager", names.proxyError,
                                       G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES)) {
    m_handler = g_signal_connect(m_proxy_p, "g-signal", G_CALLBACK(onSignal), &sink);
    if (m_handler == 0) {
        g_object_unref(m_proxy_p);
        throw std::runtime_error(names.connectError);
    }
}

ObjectManagerListener::~ObjectManagerListener() {
    g_signal_handler_disconnect(m_proxy_p, m_handler);
    g_object_unref(m_proxy_p);
}

void ObjectManagerListener::listObjects(const Visit& visit) const {
    GVariant* answer = DBusUtils::callSync(m_proxy_p, "GetManagedObjects", nullptr, m_listError);
    if (!g_variant_is_of_type(answer, G_VARIANT_TYPE("(a{oa{sa{sv}}})"))) {
        g_variant_unref(answer);
        throw std::runtime_error(std::string(m_listError) + ": unexpected answer");
    }
    GVariantIter* objects = nullptr;
    const gchar* path = nullptr;
    GVariant* interfaces = nullptr;
    g_variant_get(answer, "(a{oa{sa{sv}}})", &objects);
    while (g_variant_iter_next(objects, "{&o@a{sa{sv}}}", &path, &interfaces)) {
        try {
            visit(path, interfaces);
        } catch (...) {
            g_variant_unref(interfaces);
            g_variant_iter_free(objects);
            g_variant_unref(answer);
            throw;
        }
        g_variant_unref(interfaces);
    }
    g_variant_iter_free(objects);
    g_variant_unref(answer);
}

int ObjectManagerListener::idOfPath(const char* path) {
    const std::string text(path);
    const auto id = Convert::stringToInt(text.substr(text.rfind('/') + 1).c_str());
    if (!id.second) {
        throw std::runtime_error("No id at the end of the object path " + text);
    }
    return id.first;
}

void ObjectManagerListener::onSignal(GDBusProxy* proxy, const gchar*, const gchar* signal,
                                     GVariant* parameters, gpointer data) {
    auto* sink = static_cast<ObjectManagerSink*>(data);
    try {
        const gchar* path = nullptr;
        if (g_strcmp0(signal, "InterfacesAdded") == 0 &&
            g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oa{sa{sv}})"))) {
            GVariant* interfaces = nullptr;
            g_variant_get(parameters, "(&o@a{sa{sv}})", &path, &interfaces);
            try {
                sink->objectAdded(proxy, path, interfaces);
            } catch (...) {
                g_variant_unref(interfaces);
                throw;
            }
            g_variant_unref(interfaces);
        } else if (g_strcmp0(signal, "InterfacesRemoved") == 0 &&
                   g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oas)"))) {
            g_variant_get(parameters, "(&oas)", &path, nullptr);
            sink->objectRemoved(proxy, path);
        } else {
            syslog(LOG_INFO, "Unknown signal in stream callback\n");
        }
    } catch (const std::runtime_error& error) {
        syslog(LOG_WARNING, "Error when handling stream changes: %s\n", error.what());
    }
}

GVariant* lookupInterface(GVariant* interfaces, const char* interface) {
    return g_variant_lookup_value(interfaces, interface, G_VARIANT_TYPE("a{sv}"));
}
