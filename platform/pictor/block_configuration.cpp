#include "pictor/block_configuration.h"

#include <limits>
#include <memory>
#include <type_traits>

#include "json_ptr.h"

namespace Pictor {

namespace {

std::string joined(const std::string& prefix, const std::string& key) {
    return prefix.empty() ? key : prefix + "." + key;
}

const char* type_name(const ConfigValue::Scalar& scalar) {
    static const char* const names[] = {"bool", "whole number", "real number", "string"};
    return names[scalar.index()];
}

ConfigValue::Scalar scalar_from_json(const std::string& key, json_t* json) {
    switch (json_typeof(json)) {
        case JSON_TRUE:
            return true;
        case JSON_FALSE:
            return false;
        case JSON_INTEGER:
            return int64_t{json_integer_value(json)};
        case JSON_REAL:
            return json_real_value(json);
        case JSON_STRING:
            return std::string(json_string_value(json), json_string_length(json));
        default:
            throw ConfigurationError("configuration key '" + key +
                                     "': only numbers, bools, strings and lists of them are "
                                     "allowed");
    }
}

void flatten(const std::string& prefix, json_t* object, BlockConfiguration& out) {
    const char* name;
    json_t* value;
    json_object_foreach(object, name, value) {
        const std::string key = joined(prefix, name);
        if (*name == '\0' || std::string(name).find('.') != std::string::npos) {
            throw ConfigurationError("configuration key '" + key +
                                     "': a name must be "
                                     "non-empty and without '.'");
        }
        if (json_is_object(value)) {
            flatten(key, value, out);
        } else if (json_is_array(value)) {
            ConfigValue::List list;
            std::size_t index;
            json_t* item;
            json_array_foreach(value, index, item) {
                list.push_back(scalar_from_json(key, item));
            }
            out.set(key, ConfigValue(std::move(list)));
        } else {
            out.set(key, ConfigValue(scalar_from_json(key, value)));
        }
    }
}

json_t* scalar_to_json(const ConfigValue::Scalar& scalar) {
    return std::visit(
        [](const auto& v) -> json_t* {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return json_boolean(v);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                return json_integer(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return json_real(v);
            } else {
                return json_stringn(v.data(), v.size());
            }
        },
        scalar);
}

}  // namespace

BlockConfiguration::BlockConfiguration(
    std::initializer_list<std::pair<std::string, ConfigValue>> pairs) {
    for (const auto& [key, value] : pairs) {
        set(key, value);
    }
}

BlockConfiguration BlockConfiguration::fromJson(const std::string& text) {
    json_error_t error;
    JsonPtr root(json_loadb(text.data(), text.size(), JSON_REJECT_DUPLICATES, &error));
    if (!root) {
        throw ConfigurationError("configuration JSON, line " + std::to_string(error.line) +
                                 ", column " + std::to_string(error.column) + ": " + error.text);
    }
    return configuration_from_json(root.get());
}

BlockConfiguration configuration_from_json(json_t* object) {
    if (!json_is_object(object)) {
        throw ConfigurationError("configuration JSON: not an object");
    }
    BlockConfiguration configuration;
    flatten("", object, configuration);
    return configuration;
}

const ConfigValue* BlockConfiguration::find(const std::string& key) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : &it->second;
}

const ConfigValue::Scalar& BlockConfiguration::scalarAt(const std::string& key,
                                                        const ConfigValue& value) const {
    if (value.isList()) {
        throw ConfigurationError("configuration key '" + key + "': a list, not a single value");
    }
    return value.scalar();
}

template <typename T>
T BlockConfiguration::scalarAs(const std::string& key, const ConfigValue::Scalar& scalar) const {
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::string>) {
        if (const T* value = std::get_if<T>(&scalar)) {
            return *value;
        }
    } else if constexpr (std::is_same_v<T, int>) {
        if (const int64_t* value = std::get_if<int64_t>(&scalar)) {
            if (*value >= std::numeric_limits<int>::min() &&
                *value <= std::numeric_limits<int>::max()) {
                return static_cast<int>(*value);
            }
            throw ConfigurationError("configuration key '" + key + "': " + std::to_string(*value) +
                                     " is out of the range of an int");
        }
    } else {
        if (const int64_t* value = std::get_if<int64_t>(&scalar)) {
            return static_cast<T>(*value);
        }
        if (const double* value = std::get_if<double>(&scalar)) {
            return static_cast<T>(*value);
        }
    }
    static const char* const wanted = std::is_same_v<T, bool>          ? "bool"
                                      : std::is_same_v<T, int>         ? "whole number"
                                      : std::is_same_v<T, std::string> ? "string"
                                                                       : "number";
    throw ConfigurationError("configuration key '" + key + "': expected a " + wanted +
                             ", found a " + type_name(scalar));
}

template <typename T>
std::vector<T> BlockConfiguration::listAs(const std::string& key, const ConfigValue& value) const {
    if (!value.isList()) {
        throw ConfigurationError("configuration key '" + key + "': a single value, not a list");
    }
    std::vector<T> list;
    for (const ConfigValue::Scalar& scalar : value.list()) {
        list.push_back(scalarAs<T>(key, scalar));
    }
    return list;
}

template <typename T>
T BlockConfiguration::get(const std::string& key) const {
    const ConfigValue* value = find(key);
    if (value == nullptr) {
        throw ConfigurationError("configuration key '" + key + "' is missing");
    }
    return scalarAs<T>(key, scalarAt(key, *value));
}

template <typename T>
T BlockConfiguration::get(const std::string& key, const T& fallback) const {
    const ConfigValue* value = find(key);
    return value == nullptr ? fallback : scalarAs<T>(key, scalarAt(key, *value));
}

template <typename T>
std::vector<T> BlockConfiguration::getVector(const std::string& key) const {
    const ConfigValue* value = find(key);
    if (value == nullptr) {
        throw ConfigurationError("configuration key '" + key + "' is missing");
    }
    return listAs<T>(key, *value);
}

template <typename T>
std::vector<T> BlockConfiguration::getVector(const std::string& key,
                                             const std::vector<T>& fallback) const {
    const ConfigValue* value = find(key);
    return value == nullptr ? fallback : listAs<T>(key, *value);
}

bool BlockConfiguration::getBool(const std::string& key) const {
    return get<bool>(key);
}
bool BlockConfiguration::getBool(const std::string& key, bool fallback) const {
    return get<bool>(key, fallback);
}
int BlockConfiguration::getInt(const std::string& key) const {
    return get<int>(key);
}
int BlockConfiguration::getInt(const std::string& key, int fallback) const {
    return get<int>(key, fallback);
}
float BlockConfiguration::getFloat(const std::string& key) const {
    return get<float>(key);
}
float BlockConfiguration::getFloat(const std::string& key, float fallback) const {
    return get<float>(key, fallback);
}
double BlockConfiguration::getDouble(const std::string& key) const {
    return get<double>(key);
}
double BlockConfiguration::getDouble(const std::string& key, double fallback) const {
    return get<double>(key, fallback);
}
std::string BlockConfiguration::getString(const std::string& key) const {
    return get<std::string>(key);
}
std::string BlockConfiguration::getString(const std::string& key,
                                          const std::string& fallback) const {
    return get<std::string>(key, fallback);
}

std::vector<bool> BlockConfiguration::getBoolVector(const std::string& key) const {
    return getVector<bool>(key);
}
std::vector<bool> BlockConfiguration::getBoolVector(const std::string& key,
                                                    const std::vector<bool>& fallback) const {
    return getVector<bool>(key, fallback);
}
std::vector<int> BlockConfiguration::getIntVector(const std::string& key) const {
    return getVector<int>(key);
}
std::vector<int> BlockConfiguration::getIntVector(const std::string& key,
                                                  const std::vector<int>& fallback) const {
    return getVector<int>(key, fallback);
}
std::vector<float> BlockConfiguration::getFloatVector(const std::string& key) const {
    return getVector<float>(key);
}
std::vector<float> BlockConfiguration::getFloatVector(const std::string& key,
                                                      const std::vector<float>& fallback) const {
    return getVector<float>(key, fallback);
}
std::vector<double> BlockConfiguration::getDoubleVector(const std::string& key) const {
    return getVector<double>(key);
}
std::vector<double> BlockConfiguration::getDoubleVector(const std::string& key,
                                                        const std::vector<double>& fallback) const {
    return getVector<double>(key, fallback);
}
std::vector<std::string> BlockConfiguration::getStringVector(const std::string& key) const {
    return getVector<std::string>(key);
}
std::vector<std::string> BlockConfiguration::getStringVector(
    const std::string& key, const std::vector<std::string>& fallback) const {
    return getVector<std::string>(key, fallback);
}

bool BlockConfiguration::has(const std::string& key) const {
    if (m_values.count(key) != 0) {
        return true;
    }
    const std::string prefix = key + ".";
    auto it = m_values.lower_bound(prefix);
    return it != m_values.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

BlockConfiguration BlockConfiguration::getSubtree(const std::string& key) const {
    BlockConfiguration subtree;
    const std::string prefix = key + ".";
    for (auto it = m_values.lower_bound(prefix);
         it != m_values.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        subtree.m_values.emplace(it->first.substr(prefix.size()), it->second);
    }
    return subtree;
}

void BlockConfiguration::eraseKeyAndSubtree(const std::string& key) {
    // The value under the key itself, and values that would have it as a subtree.
    for (std::size_t dot = key.find('.');; dot = key.find('.', dot + 1)) {
        m_values.erase(key.substr(0, dot));
        if (dot == std::string::npos) {
            break;
        }
    }
    const std::string prefix = key + ".";
    auto it = m_values.lower_bound(prefix);
    while (it != m_values.end() && it->first.compare(0, prefix.size(), prefix) == 0) {
        it = m_values.erase(it);
    }
}

void BlockConfiguration::set(const std::string& key, ConfigValue value) {
    const bool valid = !key.empty() && key.front() != '.' && key.back() != '.' &&
                       key.find("..") == std::string::npos;
    if (!valid) {
        throw ConfigurationError("not a configuration key: '" + key + "'");
    }
    eraseKeyAndSubtree(key);
    m_values.emplace(key, std::move(value));
}

BlockConfiguration& BlockConfiguration::operator+=(const BlockConfiguration& other) {
    for (const auto& [key, value] : other.m_values) {
        set(key, value);
    }
    return *this;
}

std::string BlockConfiguration::toJson() const {
    JsonPtr root(json_object());
    for (const auto& [key, value] : m_values) {
        json_t* parent = root.get();
        std::size_t start = 0;
        for (std::size_t dot = key.find('.'); dot != std::string::npos;
             start = dot + 1, dot = key.find('.', start)) {
            const std::string name = key.substr(start, dot - start);
            json_t* child = json_object_get(parent, name.c_str());
            if (child == nullptr) {
                child = json_object();
                json_object_set_new(parent, name.c_str(), child);
            }
            parent = child;
        }
        json_t* json;
        if (value.isList()) {
            json = json_array();
            for (const ConfigValue::Scalar& scalar : value.list()) {
                json_array_append_new(json, scalar_to_json(scalar));
            }
        } else {
            json = scalar_to_json(value.scalar());
        }
        json_object_set_new(parent, key.substr(start).c_str(), json);
    }
    std::unique_ptr<char, decltype(&free)> text(
        json_dumps(root.get(), JSON_COMPACT | JSON_PRESERVE_ORDER | JSON_REAL_PRECISION(17)),
        &free);
    return text ? std::string(text.get()) : std::string();
}

}  // namespace Pictor
