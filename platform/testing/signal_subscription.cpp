#include "signal_subscription.h"

#include <stdexcept>
#include <utility>

namespace camlet::testing {

SignalSubscription::SignalSubscription(const std::string& address, const std::string& path,
                                       Handler handler)
    : m_handler(std::move(handler)) {
    const std::string match = "type='signal',path='" + path + "'";
    if (sd_bus_new(&m_bus) < 0 || sd_bus_set_address(m_bus, address.c_str()) < 0 ||
        sd_bus_set_bus_client(m_bus, 1) < 0 || sd_bus_start(m_bus) < 0 ||
        sd_bus_add_match(m_bus, nullptr, match.c_str(), &SignalSubscription::dispatch, this) < 0) {
        sd_bus_flush_close_unref(m_bus);
        throw std::runtime_error("cannot subscribe to the signals of " + path + " on " + address);
    }
    // The bus daemon has the match once it answered a call made after it.
    sync("org.freedesktop.DBus", "/org/freedesktop/DBus");
}

SignalSubscription::~SignalSubscription() {
    sd_bus_flush_close_unref(m_bus);
}

void SignalSubscription::sync(const std::string& peer, const std::string& path) {
    sd_bus_message* reply = nullptr;
    sd_bus_call_method(m_bus, peer.c_str(), path.c_str(), "org.freedesktop.DBus.Peer", "Ping",
                       nullptr, &reply, "");
    sd_bus_message_unref(reply);
    drain();
}

int SignalSubscription::dispatch(sd_bus_message* message, void* userdata, sd_bus_error*) {
    static_cast<SignalSubscription*>(userdata)->m_handler(message);
    return 0;
}

void SignalSubscription::drain() {
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
}

}  // namespace camlet::testing
