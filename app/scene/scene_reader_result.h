#pragma once

#include <string>

#include "base/api_version.h"

// The scene service's answer to a stream handshake: its scene API version and
// whether it accepted the request.
class SceneReaderResult {
  public:
    // Parses "<version> OK"; anything that is not exactly two words, or whose
    // second word is not "OK", is a refusal (and names a version only when it
    // has two words).
    explicit SceneReaderResult(const std::string& answer);

    bool ok() const { return m_ok; }
    const API_Version& version() const { return m_version; }

  private:
    bool m_ok = false;
    API_Version m_version;
};
