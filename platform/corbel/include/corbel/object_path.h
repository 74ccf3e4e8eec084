#pragma once

#include <string>
#include <string_view>

namespace corbel {

// A D-Bus object path ("/com/zelk/ThermalSensor"): "/" or "/"-separated
// non-empty elements of [A-Za-z0-9_], without a trailing "/". Construction and
// operator/ check the result and throw InvalidValueError
// ("String is not a valid ObjectPath") on anything else.
class ObjectPath {
  public:
    explicit ObjectPath(std::string path);

    // This path with one more element ("/com" / "zelk" is "/com/zelk").
    ObjectPath operator/(std::string_view element) const;

    const std::string& str() const { return m_path; }
    bool operator==(const ObjectPath& other) const { return m_path == other.m_path; }
    bool operator!=(const ObjectPath& other) const { return m_path != other.m_path; }

  private:
    std::string m_path;
};

}  // namespace corbel
