#include "scene/socket_scene_stream.h"

#include <glib.h>
#include <syslog.h>

#include <vector>

#include "base/constants.h"
#include "camlet_root.h"
#include "scene/mote_utils.h"
#include "scene/scene_reader.h"

namespace {
constexpr gulong kReconnectDelayUs = 200 * 1000;
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
    if (m_fd != -1) {
        SceneReader::disconnect(m_fd);
        m_fd = -1;
    }
}

bool SocketSceneStream::handshake(int mask, const API_Version& version, API_Version& named) {
    close();
    m_fd = SceneReader::connect(m_servicePath.c_str());
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
        syslog(LOG_ERR,
               "Could not initialize the object data stream to camera %i, requred version %s "
               "supported versions %s\n",
               m_cameraId, named.text().c_str(), m_versions.toString().c_str());
        close();
        return false;
    }
    mask = static_cast<int>(
        MoteUtils::removeUnsupportedCapabilites(chosen, static_cast<unsigned>(mask)));
    m_version = chosen;
    return true;
}

void SocketSceneStream::reconnect(int mask) {
    close();
    g_usleep(kReconnectDelayUs);
    API_Version named;
    handshake(mask, m_version, named);
}

bool SocketSceneStream::readScene(char** out) const {
    return SceneReader::readScene(m_fd, out);
}
