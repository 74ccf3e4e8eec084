#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace Pictor {

// A configuration that cannot be read as asked: a missing key, a value of
// another type, or a text that is no valid configuration. The message names
// the full dotted key.
class ConfigurationError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One value of a configuration: a scalar or a list of scalars.
class ConfigValue {
  public:
    using Scalar = std::variant<bool, int64_t, double, std::string>;
    using List = std::vector<Scalar>;

    ConfigValue(bool value) : m_value(Scalar(value)) {}
    ConfigValue(int value) : m_value(Scalar(int64_t{value})) {}
    ConfigValue(int64_t value) : m_value(Scalar(value)) {}
    ConfigValue(float value) : m_value(Scalar(double{value})) {}
    ConfigValue(double value) : m_value(Scalar(value)) {}
    ConfigValue(const char* value) : m_value(Scalar(std::string(value))) {}
    ConfigValue(std::string value) : m_value(Scalar(std::move(value))) {}
    // A list: {390, 100}, {448.0, -5.8, 0, 0}, {"a", "b"}.
    ConfigValue(std::initializer_list<Scalar> values) : m_value(List(values)) {}
    explicit ConfigValue(Scalar value) : m_value(std::move(value)) {}
    explicit ConfigValue(List values) : m_value(std::move(values)) {}

    bool isList() const { return std::holds_alternative<List>(m_value); }
    // Throws std::bad_variant_access when the value is of the other kind.
    const Scalar& scalar() const { return std::get<Scalar>(m_value); }
    const List& list() const { return std::get<List>(m_value); }

    bool operator==(const ConfigValue& other) const { return m_value == other.m_value; }

  private:
    std::variant<Scalar, List> m_value;
};

// A tree of settings addressed by dotted keys ("fpga_cfg.sensor_width"). A key
// names either a value or a subtree, never both. Integers read as floats too;
// nothing else converts.
class BlockConfiguration {
  public:
    BlockConfiguration() = default;
    // From key/value pairs, in order; a later pair overrides an earlier one.
    BlockConfiguration(std::initializer_list<std::pair<std::string, ConfigValue>> pairs);

    // From a JSON object: nested objects become subtrees, arrays of scalars
    // lists. Throws ConfigurationError with the position of a syntax error or
    // the key of a value that has no place in a configuration (null, an array
    // of objects, a key with a dot).
    static BlockConfiguration fromJson(const std::string& text);

    // Each getter without a default throws ConfigurationError for a missing
    // key; every getter throws it for a value of another type, and getInt for
    // a number that is no int.
    bool getBool(const std::string& key) const;
    bool getBool(const std::string& key, bool fallback) const;
    int getInt(const std::string& key) const;
    int getInt(const std::string& key, int fallback) const;
    float getFloat(const std::string& key) const;
    float getFloat(const std::string& key, float fallback) const;
    double getDouble(const std::string& key) const;
    double getDouble(const std::string& key, double fallback) const;
    std::string getString(const std::string& key) const;
    std::string getString(const std::string& key, const std::string& fallback) const;

    std::vector<bool> getBoolVector(const std::string& key) const;
    std::vector<bool> getBoolVector(const std::string& key,
                                    const std::vector<bool>& fallback) const;
    std::vector<int> getIntVector(const std::string& key) const;
    std::vector<int> getIntVector(const std::string& key, const std::vector<int>& fallback) const;
    std::vector<float> getFloatVector(const std::string& key) const;
    std::vector<float> getFloatVector(const std::string& key,
                                      const std::vector<float>& fallback) const;
    std::vector<double> getDoubleVector(const std::string& key) const;
    std::vector<double> getDoubleVector(const std::string& key,
                                        const std::vector<double>& fallback) const;
    std::vector<std::string> getStringVector(const std::string& key) const;
    std::vector<std::string> getStringVector(const std::string& key,
                                             const std::vector<std::string>& fallback) const;

    // Whether the key names a value or a subtree.
    bool has(const std::string& key) const;
    // The subtree under the key, its keys relative to it; empty when there is none.
    BlockConfiguration getSubtree(const std::string& key) const;

    // Stores a value; it replaces whatever the key named before, value or subtree.
    void set(const std::string& key, ConfigValue value);

    // Merges another configuration over this one: each of its values replaces
    // the value or subtree under the same key here; keys it lacks keep theirs.
    BlockConfiguration& operator+=(const BlockConfiguration& other);

    // Every value, by full dotted key, in key order.
    const std::map<std::string, ConfigValue>& values() const { return m_values; }
    bool empty() const { return m_values.empty(); }

    // A JSON object with nested objects for subtrees (for logs and tools).
    std::string toJson() const;

    bool operator==(const BlockConfiguration& other) const { return m_values == other.m_values; }

  private:
    const ConfigValue* find(const std::string& key) const;
    const ConfigValue::Scalar& scalarAt(const std::string& key, const ConfigValue& value) const;
    template <typename T>
    T scalarAs(const std::string& key, const ConfigValue::Scalar& scalar) const;
    template <typename T>
    std::vector<T> listAs(const std::string& key, const ConfigValue& value) const;
    template <typename T>
    T get(const std::string& key) const;
    template <typename T>
    T get(const std::string& key, const T& fallback) const;
    template <typename T>
    std::vector<T> getVector(const std::string& key) const;
    template <typename T>
    std::vector<T> getVector(const std::string& key, const std::vector<T>& fallback) const;
    void eraseKeyAndSubtree(const std::string& key);

    // Leaf values by full dotted key.
    std::map<std::string, ConfigValue> m_values;
};

}  // namespace Pictor
