#include "api_version.h"

#include <syslog.h>

#include <cstdlib>

#include "utils.h"

void convertVersionStrToInts(const std::string& text, int& major, int& minor) {
    major = -1;
    minor = -1;
    const auto parts = utils::splitString(text, '.');
    if (!utils::isNumber(text) || parts.size() != 2) {
        syslog(LOG_WARNING, "unsupported format on version %s, it should be major.minor\n",
               text.c_str());
        return;
    }
    major = static_cast<int>(std::strtol(parts[0].c_str(), nullptr, 10));
    minor = static_cast<int>(std::strtol(parts[1].c_str(), nullptr, 10));
}

API_Version::API_Version(const std::string& text) : m_text(text) {
    convertVersionStrToInts(text, m_major, m_minor);
}

bool API_Version::operator==(const API_Version& other) const {
    return isValid() && m_major == other.m_major && m_minor == other.m_minor;
}

bool API_Version::operator<(const API_Version& other) const {
    return m_major < other.m_major || (m_major == other.m_major && m_minor < other.m_minor);
}

bool API_Version::operator<=(const API_Version& other) const {
    if (!isValid()) {
        return *this < other;
    }
    return m_major < other.m_major || (m_major == other.m_major && m_minor <= other.m_minor);
}
