#include "scene/socket_camera.h"

#include <syslog.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "guard/alarm_data_container.h"

SocketCamera::SocketCamera(int cameraId, int rotation, API_VersionHandler versions, int mask,
                           std::string servicePath)
    : Camera(cameraId, rotation, std::move(versions), mask),
      m_stream(cameraId, m_sceneVersions, std::move(servicePath)),
      m_retryLog("Scene data of camera " + std::to_string(cameraId)) {}

SocketCamera::~SocketCamera() {
    stop();
    join();
}

void SocketCamera::start() {
    Thread::start(&SocketCamera::run, this);
}

void SocketCamera::stop() {
    Thread::stop();
    m_stream.interrupt();
}

void SocketCamera::handleMoteData(char* frame) {
    FrameLock lock(m_frameLock);
    // Nothing goes to an overlay on this transport: the verdicts end with the frame.
    AlarmDataContainer alarms;
    processFrame(frame, alarms);
}

bool SocketCamera::connect() {
    return m_stream.open(m_optionMask);
}

void SocketCamera::reconnect() {
    m_stream.reconnect(m_optionMask);
}

void* SocketCamera::run(void* arg) {
    auto* camera = static_cast<SocketCamera*>(arg);
    if (camera->connectUntilStopped()) {
        camera->readUntilStopped();
    }
    camera->m_stream.close();
    camera->stop();
    return nullptr;
}

bool SocketCamera::connectUntilStopped() {
    while (isRunning()) {
        if (m_retryLog.attempt([this] { return connect(); })) {
            return true;
        }
        if (!m_stream.waitBeforeRetry()) {
            return false;
        }
    }
    return false;
}

void SocketCamera::readUntilStopped() {
    while (isRunning()) {
        char* frame = nullptr;
        if (m_retryLog.attempt([&] { return readOrReconnect(&frame); })) {
            handleMoteData(frame);
            std::free(frame);
        }
    }
}

bool SocketCamera::readOrReconnect(char** frame) {
    if (m_stream.readScene(frame)) {
        return true;
    }
    if (!isRunning()) {
        return false;  // stop() ended the read
    }
    logMessage(LOG_WARNING, "Could not read scene.\n");
    {
        FrameLock lock(m_frameLock);
        deleteTrackedObjects();
    }
    reconnect();
    return false;
}
