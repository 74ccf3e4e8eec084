#pragma once

#include "corbel/property_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corbel {

// An enum published over the bus as int32: a qualified name
// ("ThermalSensor.VideoType") and its members by name and value. Conversion of
// a name or value that is not a member throws EnumError
// ("Enum ThermalSensor.VideoType: Invalid value:" followed by the value).
class EnumType {
  public:
    using Member = std::pair<std::string, int32_t>;

    EnumType(std::string name, std::vector<Member> members);

    const std::string& name() const { return m_name; }
    int32_t value_of(std::string_view memberName) const;
    const std::string& name_of(int32_t value) const;
    bool contains(int32_t value) const;

    // One single-value range per member: the ranges of a property of this enum.
    std::vector<Range<int32_t>> ranges() const;

  private:
    [[noreturn]] void invalid(std::string_view value) const;

    std::string m_name;
    std::vector<Member> m_members;
};

}  // namespace corbel
