#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace scenesim {

// A Unix stream socket service: accepts connections and serves each one on a
// thread of its own with the handler, until stop().
class UnixService {
  public:
    // Serves one connection; returns when it is done or stopping is set.
    using Handler = std::function<void(int fd, const std::atomic<bool>& stopping)>;

    UnixService(std::string path, Handler handler);
    ~UnixService();
    UnixService(const UnixService&) = delete;
    UnixService& operator=(const UnixService&) = delete;

    // Creates the socket's directory, binds and listens; throws std::runtime_error.
    void start();
    // Stops accepting, ends every connection and waits for their threads.
    void stop();

    const std::string& path() const { return m_path; }

  private:
    void acceptLoop();
    void serve(int fd);

    const std::string m_path;
    const Handler m_handler;
    int m_listenFd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptThread;
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
    std::set<int> m_openFds;
};

// Reads up to a "\n" (not included); false when the peer closes first or the
// line exceeds maxLength.
bool readLine(int fd, std::string& line, size_t maxLength = 256);
bool sendAll(int fd, const std::string& bytes);
// Waits until stopping, or until the peer closes its end.
void idleUntilClosed(int fd, const std::atomic<bool>& stopping);

}  // namespace scenesim
