#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Logs like syslog(). While a RetryLog attempt runs on the calling thread,
// the line is held back for that attempt instead.
void logMessage(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Keeps a retry loop from flooding the system log. An attempt's lines (logged
// with logMessage) are held back until its outcome is known. The first failed
// attempt of a series logs its lines as they are; later ones log them at most
// once a minute, each with the number of failures since the last report; the
// first success after failures logs one info line with the outage's length.
class RetryLog {
  public:
    using Clock = std::function<int64_t()>;  // microseconds

    struct Line {
        int priority;
        std::string text;
    };

    // subject names what is back in the info line, e.g. "Scene data of camera 1".
    explicit RetryLog(std::string subject, Clock clock = monotonicClock());

    // Runs one attempt and returns its result.
    bool attempt(const std::function<bool()>& tryOnce);

  private:
    static Clock monotonicClock();
    void failed(const std::vector<Line>& lines);
    void succeeded();

    std::string m_subject;
    Clock m_clock;
    bool m_failing = false;  // a series of failures is ongoing
    int m_failuresSinceReport = 0;
    int64_t m_seriesStart = 0;
    int64_t m_lastReport = 0;
};
