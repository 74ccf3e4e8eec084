#include "unix_test_server.h"

#include <glib.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "base/utils.h"

UnixTestServer::UnixTestServer(const std::string& path) : m_path(path) {
    g_mkdir_with_parents(utils::getDirName(path).c_str(), 0755);
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ::unlink(path.c_str());
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_fd, 8) != 0) {
        throw std::runtime_error("cannot listen on " + path);
    }
}

UnixTestServer::~UnixTestServer() {
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

int UnixTestServer::accept(int timeoutMs) {
    pollfd waiting{m_fd, POLLIN, 0};
    if (::poll(&waiting, 1, timeoutMs) != 1) {
        return -1;
    }
    return ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
}

std::string UnixTestServer::readLine(int fd) {
    std::string line;
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1) {
        if (c == '\n') {
            return line;
        }
        line += c;
    }
    return "";
}

bool UnixTestServer::sendAll(int fd, const std::string& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

std::string UnixTestServer::frameHead(int32_t length) {
    const auto value = static_cast<uint32_t>(length);
    std::string head(12, '\x7f');  // the header field is not read
    for (int i = 0; i < 4; ++i) {
        head[i] = static_cast<char>(value >> (24 - 8 * i));
    }
    return head;
}
