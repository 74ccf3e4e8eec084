#include "api_version_handler.h"

#include <algorithm>

API_VersionHandler::API_VersionHandler(const char* const* versions, int count) {
    for (int i = 0; i < count; ++i) {
        m_versions.emplace_back(versions[i]);
    }
    std::stable_sort(m_versions.begin(), m_versions.end());
}

API_Version API_VersionHandler::getHighestSupportedVersion() const {
    return m_versions.empty() ? API_Version() : m_versions.back();
}

API_Version API_VersionHandler::getHighestSupportedVersion(int major) const {
    const API_Version* highest = nullptr;
    for (const auto& version : m_versions) {
        if (version.getMajor() == major &&
            (highest == nullptr || highest->getMinor() < version.getMinor())) {
            highest = &version;
        }
    }
    return highest != nullptr ? *highest : API_Version();
}

bool API_VersionHandler::isSupported(const API_Version& version) const {
    if (!version.isValid()) {
        return false;
    }
    const API_Version highest = getHighestSupportedVersion(version.getMajor());
    return highest.isValid() && highest.getMinor() >= version.getMinor();
}

std::vector<API_Version> API_VersionHandler::getSupportedVersions(
    const API_Version& version) const {
    std::vector<API_Version> supported;
    for (auto it = m_versions.rbegin(); it != m_versions.rend(); ++it) {
        if (*it <= version) {
            supported.push_back(*it);
        }
    }
    return supported;
}

std::string API_VersionHandler::toString() const {
    std::string text;
    for (const auto& version : m_versions) {
        text += version.text() + " ";
    }
    return text;
}
