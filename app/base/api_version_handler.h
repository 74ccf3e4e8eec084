#pragma once

#include <string>
#include <vector>

#include "api_version.h"

// A sorted list of the versions an interface serves.
class API_VersionHandler {
  public:
    // One version per text, sorted ascending.
    API_VersionHandler(const char* const* versions, int count);

    // The largest version; invalid when the list is empty.
    API_Version getHighestSupportedVersion() const;
    // The largest minor of that major (the first of equals); invalid when none.
    API_Version getHighestSupportedVersion(int major) const;
    // Valid, its major is served, and that major's largest minor is not smaller.
    bool isSupported(const API_Version& version) const;
    // Every listed version <= the given one, largest first.
    std::vector<API_Version> getSupportedVersions(const API_Version& version) const;
    // The texts in ascending order, each followed by one space.
    std::string toString() const;

    const std::vector<API_Version>& versions() const { return m_versions; }

  private:
    std::vector<API_Version> m_versions;
};
