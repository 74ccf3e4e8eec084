#pragma once

#include <string>

#include "base/api_version.h"
#include "base/api_version_handler.h"

// One camera's stream on the socket transport: opens it with version
// negotiation, reads frames and reconnects with the negotiated version.
// Owns its descriptor; used by the camera's reading thread only.
class SocketSceneStream {
  public:
    // servicePath defaults to the scene service socket of the platform.
    SocketSceneStream(int cameraId, const API_VersionHandler& versions,
                      std::string servicePath = defaultServicePath());
    ~SocketSceneStream();
    SocketSceneStream(const SocketSceneStream&) = delete;
    SocketSceneStream& operator=(const SocketSceneStream&) = delete;

    // Connects and hand-shakes with the highest version; when refused, tries
    // the versions not higher than the one the service named, highest first.
    // On success reduces mask to what the accepted version supports.
    bool open(int& mask);
    // Closes, waits 200 ms, connects and hand-shakes again with the
    // negotiated version; a refusal shows up as the next failed read.
    void reconnect(int mask);
    // One frame (see SceneReader::readScene).
    bool readScene(char** out) const;
    void close();

    int descriptor() const { return m_fd; }
    const API_Version& negotiatedVersion() const { return m_version; }

    static std::string defaultServicePath();

  private:
    // Replaces the descriptor with a new connection and hand-shakes on it.
    bool handshake(int mask, const API_Version& version, API_Version& named);

    const int m_cameraId;
    const API_VersionHandler& m_versions;
    const std::string m_servicePath;
    int m_fd = -1;
    API_Version m_version;
};
