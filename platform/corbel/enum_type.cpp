#include "corbel/enum_type.h"

#include "corbel/errors.h"

#include <algorithm>

namespace corbel {

EnumType::EnumType(std::string name, std::vector<Member> members)
    : m_name(std::move(name)), m_members(std::move(members)) {}

int32_t EnumType::value_of(std::string_view memberName) const {
    const auto found = std::find_if(m_members.begin(), m_members.end(),
                                    [&](const Member& m) { return m.first == memberName; });
    if (found == m_members.end()) {
        invalid(memberName);
    }
    return found->second;
}

const std::string& EnumType::name_of(int32_t value) const {
    const auto found = std::find_if(m_members.begin(), m_members.end(),
                                    [&](const Member& m) { return m.second == value; });
    if (found == m_members.end()) {
        invalid(std::to_string(value));
    }
    return found->first;
}

bool EnumType::contains(int32_t value) const {
    return std::any_of(m_members.begin(), m_members.end(),
                       [&](const Member& m) { return m.second == value; });
}

std::vector<Range<int32_t>> EnumType::ranges() const {
    std::vector<Range<int32_t>> ranges;
    ranges.reserve(m_members.size());
    for (const Member& member : m_members) {
        ranges.push_back({member.second, member.second});
    }
    return ranges;
}

void EnumType::invalid(std::string_view value) const {
    throw EnumError("Enum " + m_name + ": Invalid value:" + std::string(value));
}

}  // namespace corbel
