#include "corbel/bus_connection.h"

#include "corbel/errors.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace corbel {
namespace {

// Milliseconds from now until the absolute monotonic time sd-bus names, for
// poll(); -1 for "no time-out".
int pollTimeoutMs(uint64_t deadlineUs) {
    if (deadlineUs == UINT64_MAX) {
        return -1;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowUs = uint64_t(now.tv_sec) * 1000000u + uint64_t(now.tv_nsec) / 1000u;
    if (deadlineUs <= nowUs) {
        return 0;
    }
    const uint64_t ms = (deadlineUs - nowUs + 999) / 1000;
    return ms > 60000 ? 60000 : int(ms);
}

}  // namespace

BusConnection& BusConnection::system() {
    static BusConnection connection([] {
        sd_bus* bus = nullptr;
        const int r = sd_bus_open_system(&bus);
        if (r < 0) {
            throw BusError(std::string("Failed to connect to the system bus: ") +
                           std::strerror(-r));
        }
        return bus;
    }());
    return connection;
}

BusConnection::BusConnection(sd_bus* bus)
    : m_bus(bus), m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_wakeFd < 0) {
        const int error = errno;
        sd_bus_flush_close_unref(m_bus);
        throw BusError(std::string("Failed to create a wake-up descriptor: ") +
                       std::strerror(error));
    }
    m_thread = std::thread([this] { dispatch(); });
}

BusConnection::~BusConnection() {
    m_stopping = true;
    wake();
    m_thread.join();
    sd_bus_flush_close_unref(m_bus);
    close(m_wakeFd);
}

void BusConnection::wake() {
    const uint64_t one = 1;
    (void)!write(m_wakeFd, &one, sizeof one);
}

void BusConnection::dispatch() {
    while (!m_stopping) {
        pollfd fds[2] = {{-1, 0, 0}, {m_wakeFd, POLLIN, 0}};
        uint64_t deadlineUs = UINT64_MAX;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            int r;
            while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
            }
            if (r < 0) {
                return;  // disconnected: nothing more to dispatch
            }
            fds[0].fd = sd_bus_get_fd(m_bus);
            fds[0].events = short(sd_bus_get_events(m_bus));
            sd_bus_get_timeout(m_bus, &deadlineUs);
        }
        if (poll(fds, 2, pollTimeoutMs(deadlineUs)) > 0 && (fds[1].revents & POLLIN)) {
            uint64_t count;
            (void)!read(m_wakeFd, &count, sizeof count);
        }
    }
}

}  // namespace corbel
