#include "parameter_file.h"

#include <fstream>
#include <sstream>

#include "camlet_root.h"

namespace camlet {
namespace {

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

ParameterFile ParameterFile::parse(const std::string& text) {
    ParameterFile file;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string name = trimmed(line.substr(0, equals));
        if (!name.empty()) {
            file.m_values[name] = trimmed(line.substr(equals + 1));
        }
    }
    return file;
}

ParameterFile ParameterFile::load() {
    std::ifstream in(rootedPath(kPath));
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

std::optional<std::string> ParameterFile::find(const std::string& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace camlet
