#include "zk_http.h"

#include <memory>
#include <optional>

#include "cgi_server.h"
#include "listen_port.h"
#include "main_context_call.h"

using camlet::CgiServer;

struct _ZKHttpHandler {
    // Touched on the main-loop thread only.
    std::unique_ptr<CgiServer> server;
};

ZKHttpHandler* zk_http_handler_new(ZKHttpRequestCallback callback, gpointer user_data) {
    if (callback == nullptr) {
        g_warning("zk_http_handler_new: no request callback");
        return nullptr;
    }
    const char* portText = g_getenv("CAMLET_HTTP_PORT");
    const std::optional<uint16_t> port = camlet::parseHttpPort(portText);
    if (!port) {
        g_warning("CAMLET_HTTP_PORT is not a port number: \"%s\"", portText);
        return nullptr;
    }

    std::unique_ptr<CgiServer> server;
    GError* error = nullptr;
    camlet::callOnMainContext([&] {
        server = CgiServer::listen(*port, {callback, user_data}, &error);
    });
    if (!server) {
        g_warning("Cannot serve HTTP on 127.0.0.1:%u: %s", static_cast<unsigned>(*port),
                  error != nullptr ? error->message : "unknown error");
        g_clear_error(&error);
        return nullptr;
    }
    return new _ZKHttpHandler{std::move(server)};
}

void zk_http_handler_free(ZKHttpHandler* handler) {
    if (handler == nullptr) {
        return;
    }
    camlet::callOnMainContext([handler] { handler->server.reset(); });
    delete handler;
}
