#pragma once

#include <systemd/sd-bus.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace corbel {

// One sd-bus connection with a thread of its own that dispatches incoming
// messages (property reads, introspection) and flushes outgoing ones. sd-bus is
// not thread-safe: every use of the connection goes through with(), which holds
// the connection's lock and wakes the dispatch thread afterwards so that queued
// messages go out.
class BusConnection {
  public:
    // Connects to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set) and starts
    // dispatching; throws BusError when the bus cannot be reached.
    static BusConnection& system();

    explicit BusConnection(sd_bus* bus);  // takes the reference
    ~BusConnection();                     // stops dispatching and closes the connection
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    template <typename F>
    auto with(F&& use) {
        struct Waker {
            BusConnection& connection;
            ~Waker() { connection.wake(); }
        } waker{*this};
        std::lock_guard<std::mutex> lock(m_mutex);
        return use(m_bus);
    }

  private:
    void dispatch();
    void wake();

    sd_bus* m_bus;  // under m_mutex
    std::mutex m_mutex;
    int m_wakeFd;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace corbel
