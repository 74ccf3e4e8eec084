#include "scene/socket_scene_stream.h"

#include <sys/socket.h>
#include <syslog.h>

#include <chrono>
#include <vector>

#include "base/constants.h"
#include "base/retry_log.h"
#include "camlet_root.h"
#include "scene/mote_utils.h"
#include "scene/scene_reader.h"

namespace {
constexpr std::chrono::milliseconds kReconnectDelay(200);
}

SocketSceneStream::SocketSceneStream(int cameraId, const API_VersionHandler& versions,
                                     std::string servicePath)
    : m_cameraId(cameraId), m_versions(versions), m_servicePath(std::move(servicePath)) {}

SocketSceneStream::~SocketSceneStream() {
    close();
}

std::string SocketSceneStream::defaultServicePath() {
    return camlet::rootedPath(constants::kSceneServiceSocket);
}

void SocketSceneStream::close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fd != -1) {
        SceneReader::disconnect(m_fd);
        m_fd = -1;
    }
}

void SocketSceneStream::interrupt() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interrupted = true;
    if (m_fd != -1) {
        // Ends a blocked recv and fails every later one on this descriptor.
        ::shutdown(m_fd, SHUT_RDWR);
    }
    m_wakeUp.notify_all();
}

bool SocketSceneStream::isInterrupted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_interrupted;
}

void SocketSceneStream::adopt(int fd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fd = fd;
    if (m_interrupted && m_fd != -1) {
        ::shutdown(m_fd, SHUT_RDWR);
    }
}

bool SocketSceneStream::handshake(int mask, const API_Version& version, API_Version& named) {
    close();
    if (isInterrupted()) {
        return false;
    }
    adopt(SceneReader::connect(m_servicePath.c_str()));
    const SceneReaderResult result = SceneReader::initialize(m_fd, mask, m_cameraId, version);
    named = result.version();
    return result.ok();
}

bool SocketSceneStream::open(int& mask) {
    const API_Version highest = m_versions.getHighestSupportedVersion();
    API_Version named;
    bool accepted = handshake(mask, highest, named);
    API_Version chosen = highest;
    if (!accepted) {
        for (const API_Version& candidate : m_versions.getSupportedVersions(named)) {
            if (handshake(mask, candidate, named)) {
                accepted = true;
                chosen = candidate;
                break;
            }
        }
    }
    if (!accepted) {
        // An interrupted open is a stop, not a refusal.
        if (!isInterrupted()) {
            logMessage(
                LOG_ERR,
                "Could not initialize the object data stream to camera %i, requred version %s "
                "supported versions %s\n",
                m_cameraId, named.text().c_str(), m_versions.toString().c_str());
        }
        close();
        return false;
    }
    mask = static_cast<int>(
        MoteUtils::removeUnsupportedCapabilites(chosen, static_cast<unsigned>(mask)));
    m_version = chosen;
    return true;
}

bool SocketSceneStream::waitBeforeRetry() {
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wakeUp.wait_for(lock, kReconnectDelay, [this] { return m_interrupted; });
}

void SocketSceneStream::reconnect(int mask) {
    close();
    if (!waitBeforeRetry()) {
        return;
    }
    API_Version named;
    handshake(mask, m_version, named);
}

bool SocketSceneStream::readScene(char** out) const {
    return SceneReader::readScene(m_fd, out);
}
