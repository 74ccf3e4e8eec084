#include "base/retry_log.h"

#include <glib.h>
#include <inttypes.h>
#include <syslog.h>

#include <cstdarg>
#include <utility>

namespace {

constexpr int64_t kReportInterval = 60 * G_USEC_PER_SEC;

// The lines held back by the attempt running on this thread; null outside attempts.
thread_local std::vector<RetryLog::Line>* t_heldLines = nullptr;

void logLine(const RetryLog::Line& line) {
    syslog(line.priority, "%s", line.text.c_str());
}

// The text with the note put before its trailing newlines.
std::string withNote(const std::string& text, const std::string& note) {
    const size_t end = text.find_last_not_of('\n') + 1;
    return text.substr(0, end) + note + text.substr(end);
}

int64_t wholeSeconds(int64_t microseconds) {
    return (microseconds + G_USEC_PER_SEC / 2) / G_USEC_PER_SEC;
}

}  // namespace

void logMessage(int priority, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    gchar* text = g_strdup_vprintf(format, arguments);
    va_end(arguments);
    RetryLog::Line line{priority, text};
    g_free(text);
    if (t_heldLines != nullptr) {
        t_heldLines->push_back(std::move(line));
    } else {
        logLine(line);
    }
}

RetryLog::RetryLog(std::string subject, Clock clock)
    : m_subject(std::move(subject)), m_clock(std::move(clock)) {}

RetryLog::Clock RetryLog::monotonicClock() {
    return [] { return static_cast<int64_t>(g_get_monotonic_time()); };
}

bool RetryLog::attempt(const std::function<bool()>& tryOnce) {
    std::vector<Line> lines;
    std::vector<Line>* const outer = t_heldLines;
    t_heldLines = &lines;
    const bool success = tryOnce();
    t_heldLines = outer;
    if (success) {
        for (const Line& line : lines) {
            logLine(line);
        }
        succeeded();
    } else {
        failed(lines);
    }
    return success;
}

void RetryLog::failed(const std::vector<Line>& lines) {
    const int64_t now = m_clock();
    if (!m_failing) {
        m_failing = true;
        m_seriesStart = now;
        m_lastReport = now;
        m_failuresSinceReport = 0;
        for (const Line& line : lines) {
            logLine(line);
        }
        return;
    }
    ++m_failuresSinceReport;
    if (now - m_lastReport < kReportInterval) {
        return;
    }
    const std::string note = " (failed " + std::to_string(m_failuresSinceReport) +
                             " times in the last " +
                             std::to_string(wholeSeconds(now - m_lastReport)) + " s)";
    for (const Line& line : lines) {
        logLine({line.priority, withNote(line.text, note)});
    }
    m_failuresSinceReport = 0;
    m_lastReport = now;
}

void RetryLog::succeeded() {
    if (!m_failing) {
        return;
    }
    m_failing = false;
    syslog(LOG_INFO, "%s available again after %" PRId64 " s\n", m_subject.c_str(),
           wholeSeconds(m_clock() - m_seriesStart));
}
