#include "event_log.h"

#include <glib.h>
#include <jansson.h>

#include <memory>

namespace eventlog {

namespace {

const char* const kLogPath = "/var/log/camlet/events.jsonl";

struct JsonDecref {
    void operator()(json_t* value) const { json_decref(value); }
};
using Json = std::unique_ptr<json_t, JsonDecref>;

// The value of the declared key of that name, or null.
const json_t* declaredKey(const json_t* keys, const char* name) {
    size_t index;
    const json_t* key;
    json_array_foreach(keys, index, key) {
        if (std::string(json_string_value(json_object_get(key, "key"))) == name) {
            return key;
        }
    }
    return nullptr;
}

std::string eventName(const json_t* keys) {
    if (const json_t* topic2 = declaredKey(keys, "topic2")) {
        return json_string_value(json_object_get(topic2, "value"));
    }
    const json_t* source = json_object_get(declaredKey(keys, "Source"), "value");
    return "MotionAlarm:" + std::to_string(json_integer_value(source));
}

std::string valueText(const json_t* value) {
    if (json_is_boolean(value)) {
        return json_is_true(value) ? "1" : "0";
    }
    if (json_is_integer(value)) {
        return std::to_string(json_integer_value(value));
    }
    return json_is_string(value) ? json_string_value(value) : "?";
}

std::string sentValues(const json_t* values) {
    std::string text;
    const char* key;
    const json_t* value;
    json_object_foreach(const_cast<json_t*>(values), key, value) {
        if (std::string(key) != "Source") {
            text += " " + valueText(value);
        }
    }
    return text;
}

template <typename Visit>
void forEachEntry(const camlet::testing::TemporaryRoot& root, Visit visit) {
    for (const std::string& line : root.readLines(kLogPath)) {
        const Json entry(json_loads(line.c_str(), 0, nullptr));
        if (entry) {
            visit(entry.get());
        }
    }
}

}  // namespace

std::vector<std::string> read(const camlet::testing::TemporaryRoot& root) {
    std::map<json_int_t, std::string> names;
    std::vector<std::string> lines;
    forEachEntry(root, [&](const json_t* entry) {
        const std::string op = json_string_value(json_object_get(entry, "op"));
        const json_int_t id = json_integer_value(json_object_get(entry, "id"));
        if (op == "declare") {
            names[id] = eventName(json_object_get(entry, "keys"));
        }
        std::string line = op + " " + names[id];
        if (op == "send") {
            line += sentValues(json_object_get(entry, "values"));
        }
        lines.push_back(line);
    });
    return lines;
}

std::vector<std::string> read(const camlet::testing::TemporaryRoot& root, const std::string& op) {
    std::vector<std::string> selected;
    for (const std::string& line : read(root)) {
        if (line.compare(0, op.size() + 1, op + " ") == 0) {
            selected.push_back(line);
        }
    }
    return selected;
}

std::map<std::string, std::string> niceNames(const camlet::testing::TemporaryRoot& root) {
    std::map<std::string, std::string> names;
    forEachEntry(root, [&](const json_t* entry) {
        const json_t* topic2 = declaredKey(json_object_get(entry, "keys"), "topic2");
        if (topic2 != nullptr) {
            const json_t* pair = json_object_get(topic2, "niceNames");
            names[json_string_value(json_array_get(pair, 0))] =
                json_string_value(json_array_get(pair, 1));
        }
    });
    return names;
}

std::vector<std::string> waitForLines(const camlet::testing::TemporaryRoot& root, size_t count) {
    const gint64 deadline = g_get_monotonic_time() + G_USEC_PER_SEC;
    std::vector<std::string> lines = read(root);
    while (lines.size() < count && g_get_monotonic_time() < deadline) {
        g_usleep(5000);
        lines = read(root);
    }
    return lines;
}

}  // namespace eventlog
