#pragma once

#include <gtest/gtest.h>
#include <syslog.h>

#include <string>

// Lets a test see what the code under test logs: the system log is opened
// to copy every message to stderr, and stderr is captured.
class SyslogCapture {
  public:
    SyslogCapture() {
        openlog("tracking_test", LOG_PERROR, LOG_USER);
        testing::internal::CaptureStderr();
    }
    ~SyslogCapture() {
        if (!m_taken) {
            testing::internal::GetCapturedStderr();
        }
        openlog(nullptr, 0, LOG_USER);  // drops the copy to stderr again
        closelog();
    }
    SyslogCapture(const SyslogCapture&) = delete;
    SyslogCapture& operator=(const SyslogCapture&) = delete;

    // Everything logged so far; ends the capture.
    std::string take() {
        m_taken = true;
        return testing::internal::GetCapturedStderr();
    }

  private:
    bool m_taken = false;
};
