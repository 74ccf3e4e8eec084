#include "pictor/init_tools.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "pictor/log.h"

namespace Pictor {

// The bus, its lock and the thread that dispatches it.
class BusLoop {
  public:
    BusLoop() {
        const int result = sd_bus_open_system(&m_bus);
        if (result < 0) {
            throw std::runtime_error(std::string("cannot connect to the system bus: ") +
                                     std::strerror(-result));
        }
        m_wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wake_fd < 0) {
            const int error = errno;
            sd_bus_flush_close_unref(m_bus);
            throw std::runtime_error(std::string("eventfd: ") + std::strerror(error));
        }
        m_thread = std::thread([this] { run(); });
    }

    ~BusLoop() {
        m_stopping = true;
        wake();
        m_thread.join();
        sd_bus_flush_close_unref(m_bus);
        ::close(m_wake_fd);
    }

    std::recursive_mutex& mutex() { return m_mutex; }
    sd_bus* bus() const { return m_bus; }

    void wake() {
        const uint64_t one = 1;
        (void)!::write(m_wake_fd, &one, sizeof one);
    }

  private:
    void run() {
        while (!m_stopping) {
            pollfd fds[2] = {{-1, 0, 0}, {m_wake_fd, POLLIN, 0}};
            int timeout_ms = -1;
            {
                std::lock_guard<std::recursive_mutex> lock(m_mutex);
                int result;
                while ((result = sd_bus_process(m_bus, nullptr)) > 0) {
                }
                if (result < 0) {
                    ilog(LogLevel::Error, "system bus: %s; no more dispatching",
                         std::strerror(-result));
                    return;
                }
                fds[0].fd = sd_bus_get_fd(m_bus);
                fds[0].events = static_cast<short>(sd_bus_get_events(m_bus));
                timeout_ms = poll_timeout_ms();
            }
            if (::poll(fds, 2, timeout_ms) > 0 && (fds[1].revents & POLLIN) != 0) {
                uint64_t count;
                (void)!::read(m_wake_fd, &count, sizeof count);
            }
        }
    }

    // Until the bus's next time-out, under the lock; -1 for none.
    int poll_timeout_ms() const {
        uint64_t deadline_us;
        if (sd_bus_get_timeout(m_bus, &deadline_us) <= 0 || deadline_us == UINT64_MAX) {
            return -1;
        }
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t now_us = static_cast<uint64_t>(now.tv_sec) * 1000000u +
                                static_cast<uint64_t>(now.tv_nsec) / 1000u;
        if (deadline_us <= now_us) {
            return 0;
        }
        const uint64_t wait_ms = (deadline_us - now_us + 999u) / 1000u;
        return wait_ms > 60000u ? 60000 : static_cast<int>(wait_ms);
    }

    std::recursive_mutex m_mutex;
    sd_bus* m_bus = nullptr;
    int m_wake_fd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

BusConnection::Access::Access(BusLoop& loop, sd_bus* bus)
    : m_lock(loop.mutex()), m_loop(&loop), m_bus(bus) {}

BusConnection::Access::~Access() {
    m_lock.unlock();
    m_loop->wake();
}

BusConnection::BusConnection() : m_loop(std::make_unique<BusLoop>()) {}

BusConnection::~BusConnection() = default;

BusConnection::Access BusConnection::access() {
    return Access(*m_loop, m_loop->bus());
}

struct InitTools::Shared {
    std::mutex mutex;
    std::unique_ptr<BusConnection> system_bus;  // Under mutex.
};

InitTools::InitTools() : m_shared(std::make_shared<Shared>()) {}

BusConnection& InitTools::system_bus() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->system_bus) {
        m_shared->system_bus = std::make_unique<BusConnection>();
    }
    return *m_shared->system_bus;
}

}  // namespace Pictor
