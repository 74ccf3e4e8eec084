#include "overlay/alarm_overlay_handler.h"

#include <fcntl.h>
#include <glib.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "camlet_root.h"
#include "guard/alarm_data_container.h"
#include "overlay/alarm_drawing.h"
#include "overlay/graphics_service.h"

namespace {

int openCameraDevice() {
    try {
        return requestGraphicsDescriptor("OpenCameraDevice", "OpenCameraDevice failed");
    } catch (const std::runtime_error& error) {
        syslog(LOG_INFO, "Failed to use OpenCameraDevice, using 'open /dev/cam0' fallback : %s\n",
               error.what());
    }
    const int fd = open(camlet::rootedPath("/dev/cam0").c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("Failed to open CameraDevice file descriptor");
    }
    return fd;
}

}  // namespace

AlarmOverlayHandler::CameraDevice::CameraDevice() : m_fd(openCameraDevice()) {}

AlarmOverlayHandler::CameraDevice::~CameraDevice() {
    close(m_fd);
}

AlarmOverlayHandler::AlarmOverlayHandler()
    : AlarmOverlayHandler(StreamSettings(0, 0, 0, false), {}) {}

AlarmOverlayHandler::AlarmOverlayHandler(const StreamSettings& settings,
                                         const std::vector<int>& profiles)
    : m_settings(settings),
      m_externalOverlays(settings),
      m_drawer(std::make_unique<CairoHandler>(settings, ExternalOverlayUnion())),
      m_profiles(profiles) {}

AlarmOverlayHandler::~AlarmOverlayHandler() {
    removeAllCreatedOverlays();
}

bool AlarmOverlayHandler::applySettings(const std::vector<int>& profiles,
                                        const StreamSettings& settings) {
    const bool settingsChanged = settings != m_settings;
    const bool hadNoProfiles = m_profiles.empty();
    m_settings = settings;
    m_profiles = profiles;
    if (settingsChanged || profiles.empty()) {
        removeAllCreatedOverlays();
        resetExternalOverlays();
        return settingsChanged;
    }
    return hadNoProfiles;
}

void AlarmOverlayHandler::resetExternalOverlays() {
    m_externalOverlays = ExternalOverlayContainer(m_settings);
    m_drawingUnion = ExternalOverlayUnion();
    m_drawer = std::make_unique<CairoHandler>(m_settings, m_drawingUnion);
}

void AlarmOverlayHandler::handleMessage(const AlarmOverlayMessage& message) {
    struct Dispatch {
        AlarmOverlayHandler& handler;
        void operator()(const StreamAddedMessage& m) { handler.handleStreamAdded(m.properties); }
        void operator()(const StreamRemovedMessage& m) { handler.handleStreamRemoved(m.streamId); }
        void operator()(const OverlayAddedMessage& m) {
            handler.handleExternalOverlayAdded(m.overlay);
        }
        void operator()(const OverlayRemovedMessage& m) {
            handler.handleExternalOverlayRemoved(m.overlayId);
        }
        void operator()(const OverlayPropertiesChangedMessage& m) {
            handler.handleExternalOverlayPropertiesChanged(m.properties);
        }
    };
    std::visit(Dispatch{*this}, message.getPayload());
}

void AlarmOverlayHandler::handleStreamAdded(const StreamProperties& stream) {
    if (stream.type != "h264" || stream.settings != m_settings || stream.camera != 1 ||
        m_profiles.empty() || hasStream(stream.streamId) || m_drawer->getData() == nullptr) {
        return;
    }
    m_streamOverlays.push_back(
        m_creator.createStreamOverlay(m_settings, stream.streamId, m_drawingUnion));
}

void AlarmOverlayHandler::handleStreamRemoved(int streamId) {
    const auto it = std::find_if(
        m_streamOverlays.begin(), m_streamOverlays.end(),
        [streamId](const auto& overlay) { return overlay->getStreamId() == streamId; });
    if (it != m_streamOverlays.end()) {
        m_creator.unregister(**it);
        m_streamOverlays.erase(it);
    }
}

void AlarmOverlayHandler::handleExternalOverlayAdded(const ExternalOverlay& overlay) {
    m_externalOverlays.insert(overlay);
    m_externalOverlays.updateResultingExternalOverlayUnion();
}

void AlarmOverlayHandler::handleExternalOverlayRemoved(int overlayId) {
    m_externalOverlays.remove(overlayId);
    m_externalOverlays.updateResultingExternalOverlayUnion();
    // One of ours that the service dropped is made again at the next frame.
    for (const auto& streamOverlay : m_streamOverlays) {
        if (streamOverlay->getOverlayId() == overlayId) {
            streamOverlay->invalidate();
        }
    }
}

void AlarmOverlayHandler::handleExternalOverlayPropertiesChanged(
    const OverlayProperties& properties) {
    m_externalOverlays.updateOverlayProperties(properties);
    m_externalOverlays.updateResultingExternalOverlayUnion();
}

bool AlarmOverlayHandler::hasStream(int streamId) const {
    return std::any_of(
        m_streamOverlays.begin(), m_streamOverlays.end(),
        [streamId](const auto& overlay) { return overlay->getStreamId() == streamId; });
}

bool AlarmOverlayHandler::shouldStreamOverlaysBeRecreated() const {
    const ExternalOverlayUnion& current = m_externalOverlays.getResultingUnion();
    return std::any_of(m_streamOverlays.begin(), m_streamOverlays.end(),
                       [&current](const auto& overlay) {
                           return overlay->getFramesHandled() > kFramesBeforeRecreation &&
                                  (!overlay->isValid() || overlay->getUnion() != current);
                       });
}

void AlarmOverlayHandler::recreateStreamOverlays() {
    for (auto& overlay : m_streamOverlays) {
        m_creator.unregister(*overlay);
        auto replacement =
            m_creator.createStreamOverlay(m_settings, overlay->getStreamId(), m_drawingUnion);
        overlay = std::move(replacement);
    }
    m_drawer = std::make_unique<CairoHandler>(m_settings, m_drawingUnion);
}

void AlarmOverlayHandler::removeAllCreatedOverlays() {
    for (const auto& overlay : m_streamOverlays) {
        m_creator.unregister(*overlay);
    }
    m_streamOverlays.clear();
}

void AlarmOverlayHandler::handleAlarmResult(const AlarmDataContainer& alarms, int64_t frameTime) {
    if (m_streamOverlays.empty() || m_profiles.empty()) {
        return;
    }
    if (shouldStreamOverlaysBeRecreated()) {
        m_drawingUnion = m_externalOverlays.getResultingUnion();
        recreateStreamOverlays();
    }
    if (m_drawer->getData() == nullptr) {
        return;  // the bands leave no rows to draw into
    }
    collectBoxes(alarms, frameTime);
    const AlarmDrawing drawing{alarms, m_profiles, m_boxes, m_settings, m_drawingUnion};
    const bool changed = renderCairoData(*m_drawer, drawing);
    submitToStreams(changed);
    clearCairoSurface(*m_drawer, drawing);
}

void AlarmOverlayHandler::collectBoxes(const AlarmDataContainer& alarms, int64_t frameTime) {
    m_boxes.clear();
    const int64_t age = g_get_monotonic_time() - frameTime;
    for (const int profileId : m_profiles) {
        for (auto it = alarms.begin(profileId); it != alarms.end(profileId); ++it) {
            if (it->status == OBJECT_ALARM && it->object != nullptr) {
                m_boxes.insert(*it->object, m_settings, age, m_drawingUnion);
            }
        }
    }
}

void AlarmOverlayHandler::submitToStreams(bool changed) {
    StreamOverlay* first = nullptr;
    for (const auto& overlay : m_streamOverlays) {
        overlay->setupBuffer(m_cameraDevice.get(), m_channel);
        if (first == nullptr) {
            overlay->insertData(m_drawer->getData(), changed);
            first = overlay.get();
        } else {
            overlay->copyDataFromStreamOverlay(*first, changed);
        }
        overlay->submitBuffer(m_channel);
    }
}
