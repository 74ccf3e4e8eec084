#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace camlet::testing {

// One HTTP answer as a test sees it.
struct HttpReply {
    // 0 when no complete answer arrived before the connection ended.
    int status = 0;
    // Header names in lower case.
    std::map<std::string, std::string> headers;
    std::string body;
};

// A raw TCP connection to 127.0.0.1, so that tests control every byte sent.
// Connecting times out after one second, reads after five.
class HttpConnection {
  public:
    // Connects at once; see isConnected().
    explicit HttpConnection(uint16_t port);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    bool isConnected() const { return m_socket >= 0; }
    // False when the bytes could not all be sent.
    bool send(const std::string& bytes);
    // Reads one answer (by its Content-Length, else up to the end of the
    // connection).
    HttpReply receive();
    // True when the server closes the connection without sending more.
    bool closedByServer();

  private:
    int m_socket = -1;
};

// A request with Content-Length and "Connection: close".
std::string httpRequest(const std::string& method, const std::string& target,
                        const std::string& body);
// A POST with Content-Length that leaves the connection open, as HTTP/1.1
// clients do by default.
std::string keepAliveRequest(const std::string& target, const std::string& body);

// Sends one request on a new connection and reads its answer.
HttpReply sendRequest(uint16_t port, const std::string& request);

// A loopback port that nothing listens on right now.
uint16_t unusedPort();

// The number of descriptors the process has open.
size_t openDescriptors(pid_t pid);

}  // namespace camlet::testing
