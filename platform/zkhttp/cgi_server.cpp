#include "cgi_server.h"

#include <gio/gio.h>

#include <optional>
#include <string_view>
#include <utility>

#include "cgi_entry.h"
#include "cgi_output.h"

namespace camlet {

namespace {

// The body of an accepted request, collected chunk by chunk as it arrives (the
// server's own accumulation is off) so that an oversized body is refused
// without being held in memory. Owned by its message.
class RequestBody {
  public:
    static void attachTo(SoupServerMessage* message) {
        g_object_set_data_full(G_OBJECT(message), kKey, new RequestBody, destroy);
        g_signal_connect(message, "got-chunk", G_CALLBACK(onChunk), nullptr);
    }

    // The collected body; null when none was attached.
    static const std::string* of(SoupServerMessage* message) {
        auto* body = static_cast<RequestBody*>(g_object_get_data(G_OBJECT(message), kKey));
        return body != nullptr ? &body->m_bytes : nullptr;
    }

  private:
    static constexpr const char* kKey = "camlet-request-body";

    static void destroy(gpointer body) { delete static_cast<RequestBody*>(body); }

    static void onChunk(SoupServerMessage* message, GBytes* chunk, gpointer) {
        auto* body = static_cast<RequestBody*>(g_object_get_data(G_OBJECT(message), kKey));
        if (soup_server_message_get_status(message) != SOUP_STATUS_NONE) {
            return;
        }
        gsize size = 0;
        const auto* data = static_cast<const char*>(g_bytes_get_data(chunk, &size));
        if (size > kMaxRequestBody - body->m_bytes.size()) {
            soup_server_message_set_status(message, SOUP_STATUS_REQUEST_ENTITY_TOO_LARGE, nullptr);
            std::string().swap(body->m_bytes);
            return;
        }
        body->m_bytes.append(data, size);
    }

    std::string m_bytes;
};

bool declaresOversizedBody(SoupServerMessage* message) {
    SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
    return soup_message_headers_get_encoding(headers) == SOUP_ENCODING_CONTENT_LENGTH &&
           soup_message_headers_get_content_length(headers) > static_cast<goffset>(kMaxRequestBody);
}

// Everything the callback wrote, once it has returned.
std::string takeOutput(GOutputStream* output) {
    g_output_stream_close(output, nullptr, nullptr);
    GBytes* bytes = g_memory_output_stream_steal_as_bytes(G_MEMORY_OUTPUT_STREAM(output));
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    std::string text(data != nullptr ? data : "", size);
    g_bytes_unref(bytes);
    return text;
}

// Every answer closes its connection; a script that asks for anything else
// is told so in the log rather than ignored.
void checkConnection(const CgiResponse& response) {
    if (!response.connection.empty() &&
        g_ascii_strcasecmp(response.connection.c_str(), "close") != 0) {
        g_warning("The CGI output asks for \"Connection: %s\"; the connection is closed anyway",
                  response.connection.c_str());
    }
}

void answer(SoupServerMessage* message, const CgiResponse& response) {
    checkConnection(response);
    soup_server_message_set_status(message, response.status,
                                   response.reason.empty() ? nullptr : response.reason.c_str());
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    if (!response.contentType.empty()) {
        soup_message_headers_replace(headers, "Content-Type", response.contentType.c_str());
    }
    for (const auto& [name, value] : response.headers) {
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    }
    soup_message_body_append(soup_server_message_get_response_body(message), SOUP_MEMORY_COPY,
                             response.body.data(), response.body.size());
}

}  // namespace

std::unique_ptr<CgiServer> CgiServer::listen(uint16_t port, Script script, GError** error) {
    SoupServer* server = soup_server_new(nullptr, nullptr);
    std::unique_ptr<LoopbackListener> listener = LoopbackListener::listen(port, server, error);
    if (!listener) {
        g_object_unref(server);
        return nullptr;
    }
    return std::unique_ptr<CgiServer>(new CgiServer(server, std::move(listener), script));
}

CgiServer::CgiServer(SoupServer* server, std::unique_ptr<LoopbackListener> listener, Script script)
    : m_server(server), m_listener(std::move(listener)), m_script(script) {
    // Default handlers see every path, so that the early one can refuse
    // requests for other paths before their bodies are read.
    soup_server_add_early_handler(m_server, nullptr, screenRequest, this, nullptr);
    soup_server_add_handler(m_server, nullptr, serveRequest, this, nullptr);
}

CgiServer::~CgiServer() {
    soup_server_remove_handler(m_server, nullptr);
    m_listener.reset();
    soup_server_disconnect(m_server);
    g_object_unref(m_server);
}

void CgiServer::screenRequest(SoupServer*, SoupServerMessage* message, const char* path,
                              GHashTable*, gpointer) {
    soup_message_headers_replace(soup_server_message_get_response_headers(message), "Connection",
                                 "close");
    soup_message_body_set_accumulate(soup_server_message_get_request_body(message), FALSE);
    if (g_strcmp0(path, kCgiPath) != 0) {
        soup_server_message_set_status(message, SOUP_STATUS_NOT_FOUND, nullptr);
    } else if (g_strcmp0(soup_server_message_get_method(message), SOUP_METHOD_POST) != 0) {
        soup_server_message_set_status(message, SOUP_STATUS_METHOD_NOT_ALLOWED, nullptr);
        soup_message_headers_append(soup_server_message_get_response_headers(message), "Allow",
                                    SOUP_METHOD_POST);
    } else if (declaresOversizedBody(message)) {
        soup_server_message_set_status(message, SOUP_STATUS_REQUEST_ENTITY_TOO_LARGE, nullptr);
    } else {
        RequestBody::attachTo(message);
    }
}

void CgiServer::serveRequest(SoupServer*, SoupServerMessage* message, const char* path,
                             GHashTable* query, gpointer self) {
    const std::string* body = RequestBody::of(message);
    if (body == nullptr) {
        soup_server_message_set_status(message, SOUP_STATUS_INTERNAL_SERVER_ERROR, nullptr);
    } else if (body->find('\0') != std::string::npos) {
        soup_server_message_set_status(message, SOUP_STATUS_BAD_REQUEST, nullptr);
    } else {
        static_cast<const CgiServer*>(self)->runScript(message, path, query, *body);
    }
}

void CgiServer::runScript(SoupServerMessage* message, const char* path, GHashTable* query,
                          const std::string& body) const {
    GHashTable* parameters =
        query != nullptr ? g_hash_table_ref(query) : g_hash_table_new(g_str_hash, g_str_equal);
    GOutputStream* output = g_memory_output_stream_new_resizable();
    m_script.callback(path, soup_server_message_get_method(message), body.c_str(), parameters,
                      output, m_script.userData);
    const std::string written = takeOutput(output);
    g_object_unref(output);
    g_hash_table_unref(parameters);

    const std::optional<CgiResponse> response = parseCgiOutput(written);
    if (!response) {
        g_warning("The CGI output has no valid header block; answering 500");
        soup_server_message_set_status(message, SOUP_STATUS_INTERNAL_SERVER_ERROR, nullptr);
        return;
    }
    answer(message, *response);
}

}  // namespace camlet
