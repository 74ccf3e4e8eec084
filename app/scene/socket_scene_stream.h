#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "base/api_version.h"
#include "base/api_version_handler.h"

// One camera's stream on the socket transport: opens it with version
// negotiation, reads frames and reconnects with the negotiated version.
// Owns its descriptor; used by the camera's reading thread only, except for
// interrupt(), which another thread calls to stop that reader.
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
    // Waits the 200 ms between two attempts to reach the service; false,
    // at once, when interrupted.
    bool waitBeforeRetry();
    // One frame (see SceneReader::readScene).
    bool readScene(char** out) const;
    void close();

    // Thread-safe. Wakes the reading thread from a blocked connect answer,
    // read or reconnection wait, and makes every later open, read and
    // reconnection fail at once: a silent service cannot hold the reader.
    void interrupt();
    bool isInterrupted() const;

    int descriptor() const { return m_fd; }
    const API_Version& negotiatedVersion() const { return m_version; }

    static std::string defaultServicePath();

  private:
    // Replaces the descriptor with a new connection and hand-shakes on it.
    bool handshake(int mask, const API_Version& version, API_Version& named);
    // Makes fd the stream's descriptor; shuts it down at once when interrupted.
    void adopt(int fd);

    const int m_cameraId;
    const API_VersionHandler& m_versions;
    const std::string m_servicePath;
    // The descriptor changes only on the reading thread, always under the
    // mutex, so that interrupt() never shuts down a descriptor that was
    // closed and handed out again.
    mutable std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    bool m_interrupted = false;
    int m_fd = -1;
    API_Version m_version;
};
