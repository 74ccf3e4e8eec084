#pragma once

#include <string>

// A listening Unix stream socket for tests, standing in for a service.
class UnixTestServer {
  public:
    explicit UnixTestServer(const std::string& path);
    ~UnixTestServer();
    UnixTestServer(const UnixTestServer&) = delete;
    UnixTestServer& operator=(const UnixTestServer&) = delete;

    // The next connection, or -1 when none arrives within the time-out.
    int accept(int timeoutMs = 5000);

    // Reads one line (without "\n") from a descriptor; empty on failure.
    static std::string readLine(int fd);
    static bool sendAll(int fd, const std::string& bytes);
    // The 12-byte socket frame head for a payload length.
    static std::string frameHead(int32_t length);

  private:
    std::string m_path;
    int m_fd = -1;
};
