#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <string>

namespace camlet::testing {

// A client of a private bus that hands every signal sent from one object path
// to a handler, on the calling thread, whenever the queue is drained.
class SignalSubscription {
  public:
    using Handler = std::function<void(sd_bus_message*)>;

    SignalSubscription(const std::string& address, const std::string& path, Handler handler);
    ~SignalSubscription();
    SignalSubscription(const SignalSubscription&) = delete;
    SignalSubscription& operator=(const SignalSubscription&) = delete;

    sd_bus* bus() const { return m_bus; }

    // A round trip to `peer`: every signal it sent before has been handled
    // after it.
    void sync(const std::string& peer, const std::string& path = "/");

  private:
    static int dispatch(sd_bus_message* message, void* userdata, sd_bus_error*);
    void drain();

    Handler m_handler;
    sd_bus* m_bus = nullptr;
};

}  // namespace camlet::testing
