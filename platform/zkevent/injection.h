#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>

#include "subscriptions.h"

namespace camlet {

// The receiving end of event injection: a Unix datagram socket whose
// readiness is watched on the default main context. Destroy it without
// holding a lock that delivery takes: destruction waits for the main loop.
class InjectionListener {
  public:
    static constexpr const char* kSocketPath = "/var/run/camlet/events.sock";
    static constexpr gsize kMaxDatagram = 64 * 1024;

    // Binds the socket (replacing a stale one); null with error set on failure.
    static std::unique_ptr<InjectionListener> open(SubscriptionRegistry& registry, GError** error);
    ~InjectionListener();
    InjectionListener(const InjectionListener&) = delete;
    InjectionListener& operator=(const InjectionListener&) = delete;

    // Decodes an injected event; nullopt when it is malformed.
    static std::optional<ZKEvent> parse(const char* text);

  private:
    InjectionListener(SubscriptionRegistry& registry, GSocket* socket, std::string path);
    static gboolean onReadable(GSocket* socket, GIOCondition condition, gpointer self);
    // Detaches the source on the main-loop thread and waits for that.
    void stopWatching();

    SubscriptionRegistry& m_registry;
    GSocket* m_socket;
    GSource* m_source;
    std::string m_path;
};

}  // namespace camlet
