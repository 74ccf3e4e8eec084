#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "pictor/log.h"

namespace Pictor::testing {

// Collects the framework's log messages while it lives.
class LogCapture {
  public:
    LogCapture() {
        m_previous = set_log_sink([this](LogLevel level, const std::string& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(std::string(to_string(level)) + ": " + message);
        });
    }
    ~LogCapture() { set_log_sink(std::move(m_previous)); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> messages() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

  private:
    LogSink m_previous;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;  // Under m_mutex.
};

}  // namespace Pictor::testing
