#pragma once

#include <jansson.h>

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "zk_event.h"

namespace camlet {

using EventValue = std::variant<std::monostate, int, bool, std::string>;

// One key of an event description with its value and the marks that tell the
// event system how to present it.
struct EventKey {
    std::string key;
    std::optional<std::string> nameSpace;
    ZKEventValueType type = ZK_EVENT_VALUE_TYPE_INT;
    EventValue value;
    std::optional<std::pair<std::string, std::string>> niceNames;
    bool source = false;
    bool data = false;
    std::vector<std::string> tags;

    bool matches(const char* name, const char* nameSpaceOrNull) const;
};

// JSON forms used by the event log and by event injection.
json_t* valueToJson(const EventValue& value);
json_t* keyToJson(const EventKey& key);
// Reads a key in the form written by keyToJson; nullopt when malformed.
std::optional<EventKey> keyFromJson(json_t* object);

}  // namespace camlet

struct _ZKEventKeyValueSet {
    std::vector<camlet::EventKey> keys;

    camlet::EventKey* find(const char* key, const char* nameSpace);
    const camlet::EventKey* find(const char* key, const char* nameSpace) const;

    // Every key of the filter is present here with an equal value, or the
    // filter's key has no value.
    bool matches(const _ZKEventKeyValueSet& filter) const;
};
