#include "pictor/log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace Pictor {

namespace {

std::mutex s_sink_mutex;
LogSink s_sink;  // Under s_sink_mutex.

}  // namespace

const char* to_string(LogLevel level) {
    switch (level) {
        case LogLevel::Error:
            return "error";
        case LogLevel::Warning:
            return "warning";
        case LogLevel::Info:
            return "info";
        case LogLevel::Debug:
            return "debug";
    }
    return "?";
}

void ilog(LogLevel level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(&message[0], message.size() + 1, format, arguments);
    }
    va_end(arguments);

    std::lock_guard<std::mutex> lock(s_sink_mutex);
    std::fprintf(stderr, "pictor %s: %s\n", to_string(level), message.c_str());
    if (s_sink) {
        s_sink(level, message);
    }
}

LogSink set_log_sink(LogSink sink) {
    std::lock_guard<std::mutex> lock(s_sink_mutex);
    return std::exchange(s_sink, std::move(sink));
}

}  // namespace Pictor
