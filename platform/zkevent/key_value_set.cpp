#include "key_value_set.h"

#include <cstring>

namespace camlet {
namespace {

const char* typeName(ZKEventValueType type) {
    switch (type) {
        case ZK_EVENT_VALUE_TYPE_BOOL:
            return "bool";
        case ZK_EVENT_VALUE_TYPE_STRING:
            return "string";
        case ZK_EVENT_VALUE_TYPE_INT:
            break;
    }
    return "int";
}

std::optional<ZKEventValueType> typeFromName(const char* name) {
    if (std::strcmp(name, "int") == 0) {
        return ZK_EVENT_VALUE_TYPE_INT;
    }
    if (std::strcmp(name, "bool") == 0) {
        return ZK_EVENT_VALUE_TYPE_BOOL;
    }
    if (std::strcmp(name, "string") == 0) {
        return ZK_EVENT_VALUE_TYPE_STRING;
    }
    return std::nullopt;
}

std::optional<EventValue> valueFromJson(json_t* json, ZKEventValueType type) {
    if (json == nullptr || json_is_null(json)) {
        return EventValue{};
    }
    switch (type) {
        case ZK_EVENT_VALUE_TYPE_INT:
            if (json_is_integer(json)) {
                return EventValue{static_cast<int>(json_integer_value(json))};
            }
            break;
        case ZK_EVENT_VALUE_TYPE_BOOL:
            if (json_is_boolean(json)) {
                return EventValue{json_is_true(json)};
            }
            break;
        case ZK_EVENT_VALUE_TYPE_STRING:
            if (json_is_string(json)) {
                return EventValue{std::string(json_string_value(json))};
            }
            break;
    }
    return std::nullopt;
}

}  // namespace

bool EventKey::matches(const char* name, const char* nameSpaceOrNull) const {
    if (key != name) {
        return false;
    }
    if (nameSpaceOrNull == nullptr) {
        return !nameSpace.has_value();
    }
    return nameSpace.has_value() && *nameSpace == nameSpaceOrNull;
}

json_t* valueToJson(const EventValue& value) {
    if (const auto* i = std::get_if<int>(&value)) {
        return json_integer(*i);
    }
    if (const auto* b = std::get_if<bool>(&value)) {
        return json_boolean(*b);
    }
    if (const auto* s = std::get_if<std::string>(&value)) {
        return json_string(s->c_str());
    }
    return json_null();
}

json_t* keyToJson(const EventKey& key) {
    json_t* object = json_object();
    json_object_set_new(object, "key", json_string(key.key.c_str()));
    json_object_set_new(object, "namespace",
                        key.nameSpace ? json_string(key.nameSpace->c_str()) : json_null());
    json_object_set_new(object, "type", json_string(typeName(key.type)));
    json_object_set_new(object, "value", valueToJson(key.value));
    if (key.niceNames) {
        json_object_set_new(
            object, "niceNames",
            json_pack("[ss]", key.niceNames->first.c_str(), key.niceNames->second.c_str()));
    }
    if (key.source) {
        json_object_set_new(object, "source", json_true());
    }
    if (key.data) {
        json_object_set_new(object, "data", json_true());
    }
    if (!key.tags.empty()) {
        json_t* tags = json_array();
        for (const auto& tag : key.tags) {
            json_array_append_new(tags, json_string(tag.c_str()));
        }
        json_object_set_new(object, "tags", tags);
    }
    return object;
}

std::optional<EventKey> keyFromJson(json_t* object) {
    const char* name = json_string_value(json_object_get(object, "key"));
    const char* type = json_string_value(json_object_get(object, "type"));
    if (name == nullptr || type == nullptr) {
        return std::nullopt;
    }
    EventKey key;
    key.key = name;
    if (const char* ns = json_string_value(json_object_get(object, "namespace"))) {
        key.nameSpace = ns;
    }
    const auto valueType = typeFromName(type);
    if (!valueType) {
        return std::nullopt;
    }
    key.type = *valueType;
    auto value = valueFromJson(json_object_get(object, "value"), key.type);
    if (!value) {
        return std::nullopt;
    }
    key.value = std::move(*value);
    return key;
}

}  // namespace camlet

camlet::EventKey* _ZKEventKeyValueSet::find(const char* key, const char* nameSpace) {
    for (auto& entry : keys) {
        if (entry.matches(key, nameSpace)) {
            return &entry;
        }
    }
    return nullptr;
}

const camlet::EventKey* _ZKEventKeyValueSet::find(const char* key, const char* nameSpace) const {
    return const_cast<_ZKEventKeyValueSet*>(this)->find(key, nameSpace);
}

bool _ZKEventKeyValueSet::matches(const _ZKEventKeyValueSet& filter) const {
    for (const auto& wanted : filter.keys) {
        const auto* have =
            find(wanted.key.c_str(), wanted.nameSpace ? wanted.nameSpace->c_str() : nullptr);
        if (have == nullptr) {
            return false;
        }
        if (!std::holds_alternative<std::monostate>(wanted.value) && have->value != wanted.value) {
            return false;
        }
    }
    return true;
}
