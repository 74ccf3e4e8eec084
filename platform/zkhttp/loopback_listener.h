#pragma once

#include <gio/gio.h>
#include <glib-object.h>
#include <libsoup/soup.h>

#include <cstdint>
#include <memory>

namespace camlet {

// Accepts TCP connections on 127.0.0.1 and hands each one to a SoupServer.
// The server's own listener is not used: the libsoup of Debian 12 (3.2) keeps
// the socket object of every connection it accepts (about 340 bytes each,
// forever) and never closes a kept-alive connection that the client has
// closed, so each such client left a descriptor behind. Connections accepted
// here belong to the server once handed over, and go when it is done with
// them. Belongs to the thread that dispatches the default main context.
class LoopbackListener {
  public:
    // Pending connections the kernel queues while the main loop is busy; a
    // burst of clients must not overflow it (the library's default is 10).
    static constexpr int kBacklog = 128;

    // Listening on the port for the server, which must outlive the listener;
    // null with error set when the port cannot be bound.
    static std::unique_ptr<LoopbackListener> listen(uint16_t port, SoupServer* server,
                                                    GError** error);

    // Stops accepting and closes the listening socket; connections already
    // handed over stay with the server.
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

  private:
    struct Unref {
        void operator()(gpointer object) const { g_object_unref(object); }
    };

    LoopbackListener(GSocketService* service, SoupServer* server);

    static gboolean handOver(GSocketService* service, GSocketConnection* connection,
                             GObject* source, gpointer server);

    std::unique_ptr<GSocketService, Unref> m_service;
    SoupServer* m_server;
};

}  // namespace camlet
