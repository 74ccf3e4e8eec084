#pragma once

#include <glib.h>
#include <libsoup/soup.h>

#include <cstdint>
#include <memory>
#include <string>

#include "loopback_listener.h"
#include "zk_http.h"

namespace camlet {

// The web server side of the CGI entry: serves POST requests to kCgiPath on
// 127.0.0.1 and runs the registered callback for each. Every answer closes its
// connection, so that no client holds one of the daemon's descriptors between
// requests. It belongs to the thread that dispatches the default main context: create, use and
// destroy it there only.
class CgiServer {
  public:
    struct Script {
        ZKHttpRequestCallback callback;
        gpointer userData;
    };

    // A server listening on the port, or null with error set when the port
    // cannot be bound.
    static std::unique_ptr<CgiServer> listen(uint16_t port, Script script, GError** error);

    // Closes the listener and every connection; the callback is not called
    // again.
    ~CgiServer();
    CgiServer(const CgiServer&) = delete;
    CgiServer& operator=(const CgiServer&) = delete;

  private:
    CgiServer(SoupServer* server, std::unique_ptr<LoopbackListener> listener, Script script);

    // Early handler: refuses what the callback must not see, before the body
    // is read.
    static void screenRequest(SoupServer* server, SoupServerMessage* message, const char* path,
                              GHashTable* query, gpointer self);
    // Handler for a request whose whole body has been received.
    static void serveRequest(SoupServer* server, SoupServerMessage* message, const char* path,
                             GHashTable* query, gpointer self);

    void runScript(SoupServerMessage* message, const char* path, GHashTable* query,
                   const std::string& body) const;

    SoupServer* m_server;
    std::unique_ptr<LoopbackListener> m_listener;
    Script m_script;
};

}  // namespace camlet
