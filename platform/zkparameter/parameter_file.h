#pragma once

#include <map>
#include <optional>
#include <string>

namespace camlet {

// The device parameter file: one "name=value" per line, '#' starts a comment,
// blanks around names and values are trimmed. Later lines win over earlier ones.
class ParameterFile {
  public:
    static constexpr const char* kPath = "/etc/camlet/parameters.conf";

    // Parses the text of a parameter file.
    static ParameterFile parse(const std::string& text);

    // Reads the file under the platform root; a missing file has no parameters.
    static ParameterFile load();

    std::optional<std::string> find(const std::string& name) const;

  private:
    std::map<std::string, std::string> m_values;
};

}  // namespace camlet
