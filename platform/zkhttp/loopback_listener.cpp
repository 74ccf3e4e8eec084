#include "loopback_listener.h"

namespace camlet {

std::unique_ptr<LoopbackListener> LoopbackListener::listen(uint16_t port, SoupServer* server,
                                                           GError** error) {
    GSocketService* service = g_socket_service_new();
    g_socket_listener_set_backlog(G_SOCKET_LISTENER(service), kBacklog);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* address = g_inet_socket_address_new(loopback, port);
    const gboolean bound =
        g_socket_listener_add_address(G_SOCKET_LISTENER(service), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_TCP, nullptr, nullptr, error);
    g_object_unref(address);
    g_object_unref(loopback);
    if (!bound) {
        g_object_unref(service);
        return nullptr;
    }
    return std::unique_ptr<LoopbackListener>(new LoopbackListener(service, server));
}

LoopbackListener::LoopbackListener(GSocketService* service, SoupServer* server)
    : m_service(service), m_server(server) {
    g_signal_connect(m_service.get(), "incoming", G_CALLBACK(handOver), m_server);
    g_socket_service_start(m_service.get());
}

LoopbackListener::~LoopbackListener() {
    // An accept that completes while the service winds down finds no handler
    // and its connection is closed.
    g_signal_handlers_disconnect_by_data(m_service.get(), m_server);
    g_socket_service_stop(m_service.get());
    g_socket_listener_close(G_SOCKET_LISTENER(m_service.get()));
}

gboolean LoopbackListener::handOver(GSocketService*, GSocketConnection* connection, GObject*,
                                    gpointer server) {
    GSocketAddress* local = g_socket_connection_get_local_address(connection, nullptr);
    GSocketAddress* remote = g_socket_connection_get_remote_address(connection, nullptr);
    GError* error = nullptr;
    if (!soup_server_accept_iostream(static_cast<SoupServer*>(server), G_IO_STREAM(connection),
                                     local, remote, &error)) {
        g_warning("Cannot serve a connection: %s", error->message);
        g_error_free(error);
    }
    g_clear_object(&local);
    g_clear_object(&remote);
    return TRUE;
}

}  // namespace camlet
