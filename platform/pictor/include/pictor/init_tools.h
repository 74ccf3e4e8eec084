#pragma once

#include <memory>
#include <mutex>

struct sd_bus;

namespace Pictor {

class BusLoop;

// A system-bus connection that dispatches on a thread of its own. Callbacks
// (matches, asynchronous replies) run on that thread with the connection's
// lock held; any other thread takes the lock through access() for the time it
// uses the bus.
class BusConnection {
  public:
    // Connects to the system bus (DBUS_SYSTEM_BUS_ADDRESS) and starts the
    // dispatch thread; throws std::runtime_error when it cannot connect.
    BusConnection();
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    // The bus, locked for as long as the object lives. Releasing it wakes the
    // dispatch thread, so calls queued meanwhile go out at once. May be taken
    // again on the same thread (in a callback, for instance).
    class Access {
      public:
        sd_bus* get() const { return m_bus; }
        ~Access();
        Access(const Access&) = delete;
        Access& operator=(const Access&) = delete;

      private:
        friend class BusConnection;
        Access(BusLoop& loop, sd_bus* bus);

        std::unique_lock<std::recursive_mutex> m_lock;
        BusLoop* m_loop;
        sd_bus* m_bus;
    };
    Access access();

  private:
    std::unique_ptr<BusLoop> m_loop;
};

// What the framework hands every block it creates. Copies share everything.
class InitTools {
  public:
    InitTools();

    // The system bus, connected on first use; throws std::runtime_error when
    // that fails. Thread-safe.
    BusConnection& system_bus() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace Pictor
