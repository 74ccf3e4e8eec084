#include "injection.h"

#include <gio/gunixsocketaddress.h>
#include <glib/gstdio.h>
#include <jansson.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "camlet_root.h"
#include "zk_event_inject.h"

namespace camlet {
namespace {

GSocketAddress* injectionAddress(std::string* pathOut) {
    std::string path = rootedPath(InjectionListener::kSocketPath);
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    if (pathOut != nullptr) {
        *pathOut = std::move(path);
    }
    return address;
}

}  // namespace

std::unique_ptr<InjectionListener> InjectionListener::open(SubscriptionRegistry& registry,
                                                           GError** error) {
    std::string path;
    GSocketAddress* address = injectionAddress(&path);
    char* dir = g_path_get_dirname(path.c_str());
    g_mkdir_with_parents(dir, 0755);
    g_free(dir);
    g_unlink(path.c_str());

    GSocket* socket = g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_DATAGRAM,
                                   G_SOCKET_PROTOCOL_DEFAULT, error);
    if (socket == nullptr || !g_socket_bind(socket, address, FALSE, error)) {
        g_clear_object(&socket);
        g_object_unref(address);
        return nullptr;
    }
    g_object_unref(address);
    g_socket_set_blocking(socket, FALSE);
    return std::unique_ptr<InjectionListener>(
        new InjectionListener(registry, socket, std::move(path)));
}

InjectionListener::InjectionListener(SubscriptionRegistry& registry, GSocket* socket,
                                     std::string path)
    : m_registry(registry),
      m_socket(socket),
      m_source(g_socket_create_source(socket, G_IO_IN, nullptr)),
      m_path(std::move(path)) {
    // GSocket sources call back with the socket and condition first.
    g_source_set_callback(m_source, G_SOURCE_FUNC(onReadable), this, nullptr);
    g_source_attach(m_source, nullptr);
}

InjectionListener::~InjectionListener() {
    stopWatching();
    g_source_unref(m_source);
    g_socket_close(m_socket, nullptr);
    g_object_unref(m_socket);
    g_unlink(m_path.c_str());
}

// The source is destroyed on the main-loop thread: destroyed from another
// thread, a dispatch in progress there would go on reading a closed socket
// through a deleted listener. The hand-over uses a standard mutex so that
// ThreadSanitizer sees it.
void InjectionListener::stopWatching() {
    struct Teardown {
        GSource* source;
        std::mutex mutex;
        std::condition_variable doneChanged;
        bool done = false;
    } teardown{m_source, {}, {}, false};
    g_main_context_invoke(
        nullptr,
        [](gpointer data) -> gboolean {
            auto* request = static_cast<Teardown*>(data);
            g_source_destroy(request->source);
            std::lock_guard<std::mutex> lock(request->mutex);
            request->done = true;
            request->doneChanged.notify_all();
            return G_SOURCE_REMOVE;
        },
        &teardown);
    std::unique_lock<std::mutex> lock(teardown.mutex);
    teardown.doneChanged.wait(lock, [&teardown] { return teardown.done; });
}

gboolean InjectionListener::onReadable(GSocket* socket, GIOCondition, gpointer self) {
    auto* listener = static_cast<InjectionListener*>(self);
    std::vector<char> buffer(kMaxDatagram + 1);
    for (;;) {
        const gssize size = g_socket_receive(socket, buffer.data(), kMaxDatagram, nullptr, nullptr);
        if (size <= 0) {
            break;
        }
        buffer[static_cast<size_t>(size)] = '\0';
        if (auto event = parse(buffer.data())) {
            listener->m_registry.deliver(*event);
        } else {
            g_warning("Ignoring a malformed injected event");
        }
    }
    return G_SOURCE_CONTINUE;
}

std::optional<ZKEvent> InjectionListener::parse(const char* text) {
    json_t* root = json_loads(text, 0, nullptr);
    json_t* keys = json_object_get(root, "keys");
    if (!json_is_array(keys)) {
        json_decref(root);
        return std::nullopt;
    }
    ZKEvent event{{}, g_get_real_time()};
    if (json_t* time = json_object_get(root, "time_us"); json_is_integer(time)) {
        event.timeUs = static_cast<gint64>(json_integer_value(time));
    }
    size_t index;
    json_t* item;
    json_array_foreach(keys, index, item) {
        auto key = keyFromJson(item);
        if (!key) {
            json_decref(root);
            return std::nullopt;
        }
        event.keyValueSet.keys.push_back(std::move(*key));
    }
    json_decref(root);
    return event;
}

}  // namespace camlet

gboolean zk_event_inject(const char* event_json, GError** error) {
    if (event_json == nullptr) {
        g_set_error(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_INVALID_ARGUMENT, "No event");
        return FALSE;
    }
    GSocket* socket = g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_DATAGRAM,
                                   G_SOCKET_PROTOCOL_DEFAULT, error);
    if (socket == nullptr) {
        return FALSE;
    }
    GSocketAddress* address = camlet::injectionAddress(nullptr);
    const gssize sent =
        g_socket_send_to(socket, address, event_json, strlen(event_json), nullptr, error);
    g_object_unref(address);
    g_object_unref(socket);
    return sent >= 0 ? TRUE : FALSE;
}
