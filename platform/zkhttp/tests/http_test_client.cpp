#include "http_test_client.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace camlet::testing {

namespace {

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Status line and headers; false when they are malformed.
bool parseHead(const std::string& head, HttpReply& reply) {
    if (head.compare(0, 5, "HTTP/") != 0 || head.find(' ') == std::string::npos) {
        return false;
    }
    reply.status = std::atoi(head.c_str() + head.find(' ') + 1);
    size_t position = head.find("\r\n");
    while (position != std::string::npos && position + 2 < head.size()) {
        const size_t end = head.find("\r\n", position + 2);
        const std::string line = head.substr(position + 2, end - position - 2);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            const size_t value = line.find_first_not_of(' ', colon + 1);
            reply.headers[lowerCase(line.substr(0, colon))] =
                value == std::string::npos ? "" : line.substr(value);
        }
        position = end;
    }
    return true;
}

// A server whose listen backlog is full lets a connection wait without an
// answer: the connect gives up after the time-out rather than blocking.
bool connectWithin(int socket, const sockaddr_in& address, int timeoutMs) {
    const int flags = fcntl(socket, F_GETFL);
    fcntl(socket, F_SETFL, flags | O_NONBLOCK);
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        pollfd pending{socket, POLLOUT, 0};
        int error = errno;
        if (error == EINPROGRESS && poll(&pending, 1, timeoutMs) == 1) {
            socklen_t size = sizeof error;
            getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size);
        }
        if (error != 0) {
            return false;
        }
    }
    fcntl(socket, F_SETFL, flags);
    return true;
}

}  // namespace

HttpConnection::HttpConnection(uint16_t port) {
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    if (!connectWithin(m_socket, loopback(port), 1000)) {
        close(m_socket);
        m_socket = -1;
        return;
    }
    timeval timeout{};
    timeout.tv_sec = 5;
    setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

HttpConnection::~HttpConnection() {
    if (m_socket >= 0) {
        close(m_socket);
    }
}

bool HttpConnection::send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count =
            ::send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        sent += static_cast<size_t>(count);
    }
    return true;
}

HttpReply HttpConnection::receive() {
    std::string received;
    HttpReply reply;
    size_t bodyStart = std::string::npos;
    for (;;) {
        char buffer[4096];
        const ssize_t count = recv(m_socket, buffer, sizeof buffer, 0);
        if (count <= 0) {
            break;
        }
        received.append(buffer, static_cast<size_t>(count));
        if (bodyStart == std::string::npos) {
            const size_t end = received.find("\r\n\r\n");
            if (end == std::string::npos) {
                continue;
            }
            bodyStart = end + 4;
            if (!parseHead(received.substr(0, end + 2), reply)) {
                return {};
            }
        }
        const auto length = reply.headers.find("content-length");
        if (length != reply.headers.end() &&
            received.size() - bodyStart >= std::stoul(length->second)) {
            break;
        }
    }
    if (bodyStart == std::string::npos) {
        return {};
    }
    reply.body = received.substr(bodyStart);
    return reply;
}

bool HttpConnection::closedByServer() {
    char byte = 0;
    return recv(m_socket, &byte, 1, 0) == 0;
}

std::string httpRequest(const std::string& method, const std::string& target,
                        const std::string& body) {
    return method + " " + target +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string keepAliveRequest(const std::string& target, const std::string& body) {
    return "POST " + target +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

HttpReply sendRequest(uint16_t port, const std::string& request) {
    HttpConnection connection(port);
    if (!connection.isConnected() || !connection.send(request)) {
        return {};
    }
    return connection.receive();
}

uint16_t unusedPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

size_t openDescriptors(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/fd";
    size_t count = 0;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.';
        }
        closedir(dir);
    }
    return count;
}

}  // namespace camlet::testing
