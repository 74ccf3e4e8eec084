#pragma once

#include <jansson.h>

namespace camlet {

// The record of the event stand-in: every declaration, send and undeclaration
// becomes one JSON object on one line of this file (under the platform root).
class EventLog {
  public:
    static constexpr const char* kPath = "/var/log/camlet/events.jsonl";

    // Appends the object as one line, written whole with a single write so
    // that lines of concurrent writers never interleave. Takes the reference.
    static bool append(json_t* object);
};

}  // namespace camlet
