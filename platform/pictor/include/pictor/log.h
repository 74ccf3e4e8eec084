#pragma once

#include <functional>
#include <string>

namespace Pictor {

enum class LogLevel { Error, Warning, Info, Debug };

// Logs one message, printf-style. Host builds write it to standard error and
// to the sink, if one is set.
void ilog(LogLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));

const char* to_string(LogLevel level);

// Host builds only: where messages go besides standard error (tests read the
// log through it). Returns the sink set before. Thread-safe.
using LogSink = std::function<void(LogLevel, const std::string&)>;
LogSink set_log_sink(LogSink sink);

}  // namespace Pictor
