#include "unix_service.h"

#include <glib.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace scenesim {

namespace {
constexpr int kPollMs = 100;
}

UnixService::UnixService(std::string path, Handler handler)
    : m_path(std::move(path)), m_handler(std::move(handler)) {}

UnixService::~UnixService() {
    stop();
}

void UnixService::start() {
    sockaddr_un address{};
    if (m_path.size() >= sizeof(address.sun_path)) {
        throw std::runtime_error("socket path too long: " + m_path);
    }
    gchar* directory = g_path_get_dirname(m_path.c_str());
    g_mkdir_with_parents(directory, 0755);
    g_free(directory);
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    ::unlink(m_path.c_str());
    if (m_listenFd < 0 ||
        ::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listenFd, 16) != 0) {
        throw std::runtime_error("cannot listen on " + m_path + ": " + std::strerror(errno));
    }
    m_acceptThread = std::thread(&UnixService::acceptLoop, this);
}

void UnixService::stop() {
    if (!m_acceptThread.joinable()) {
        return;
    }
    m_stopping = true;
    m_acceptThread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const int fd : m_openFds) {
            ::shutdown(fd, SHUT_RDWR);
        }
    }
    for (std::thread& connection : m_connections) {
        connection.join();
    }
    m_connections.clear();
    ::close(m_listenFd);
    ::unlink(m_path.c_str());
}

void UnixService::acceptLoop() {
    while (!m_stopping) {
        pollfd waiting{m_listenFd, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) != 1) {
            continue;
        }
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openFds.insert(fd);
        m_connections.emplace_back(&UnixService::serve, this, fd);
    }
}

void UnixService::serve(int fd) {
    m_handler(fd, m_stopping);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openFds.erase(fd);
    ::close(fd);
}

bool readLine(int fd, std::string& line, size_t maxLength) {
    line.clear();
    char c = 0;
    while (line.size() <= maxLength) {
        const ssize_t result = ::recv(fd, &c, 1, 0);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result != 1) {
            return false;
        }
        if (c == '\n') {
            return true;
        }
        line += c;
    }
    return false;
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        sent += static_cast<size_t>(result);
    }
    return true;
}

void idleUntilClosed(int fd, const std::atomic<bool>& stopping) {
    char discard[256];
    while (!stopping) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) == 1 && ::recv(fd, discard, sizeof(discard), 0) <= 0) {
            return;
        }
    }
}

}  // namespace scenesim
