#pragma once

#include <memory>
#include <vector>

#include "overlay/alarm_overlay_message.h"
#include "overlay/cairo_bounding_box.h"
#include "overlay/cairo_handler.h"
#include "overlay/command_channel_handler.h"
#include "overlay/external_overlay_container.h"
#include "overlay/stream_overlay.h"
#include "overlay/stream_overlay_creator.h"
#include "overlay/stream_settings.h"

class AlarmDataContainer;

// The working alarm overlay: our overlays on the streams of the configured
// geometry, the surface they show, and the other applications' overlays they
// keep clear of. Everything that talks to the services throws
// std::runtime_error; the owner then builds a new handler.
class AlarmOverlayHandler {
  public:
    // Frames an overlay handles before a changed band recreates it.
    static constexpr int kFramesBeforeRecreation = 3;

    AlarmOverlayHandler();
    AlarmOverlayHandler(const StreamSettings& settings, const std::vector<int>& profiles);
    ~AlarmOverlayHandler();
    AlarmOverlayHandler(const AlarmOverlayHandler&) = delete;
    AlarmOverlayHandler& operator=(const AlarmOverlayHandler&) = delete;

    // True when the streams must be offered again: the settings changed, or
    // the first profile came.
    bool applySettings(const std::vector<int>& profiles, const StreamSettings& settings);
    // Draws the objects in alarm in the enabled profiles (and their polygons)
    // into every overlay; frameTime in microseconds of the monotonic clock.
    void handleAlarmResult(const AlarmDataContainer& alarms, int64_t frameTime);
    void handleMessage(const AlarmOverlayMessage& message);

    void handleStreamAdded(const StreamProperties& stream);
    void handleStreamRemoved(int streamId);
    void handleExternalOverlayAdded(const ExternalOverlay& overlay);
    void handleExternalOverlayRemoved(int overlayId);
    void handleExternalOverlayPropertiesChanged(const OverlayProperties& properties);

    bool hasStream(int streamId) const;
    bool shouldStreamOverlaysBeRecreated() const;
    void recreateStreamOverlays();
    void removeAllCreatedOverlays();

    const StreamSettings& getSettings() const { return m_settings; }
    const std::vector<int>& getProfiles() const { return m_profiles; }

  private:
    void collectBoxes(const AlarmDataContainer& alarms, int64_t frameTime);
    void submitToStreams(bool changed);
    void resetExternalOverlays();

    // The camera device's descriptor, closed with the handler.
    class CameraDevice {
      public:
        CameraDevice();
        ~CameraDevice();
        CameraDevice(const CameraDevice&) = delete;
        CameraDevice& operator=(const CameraDevice&) = delete;
        int get() const { return m_fd; }

      private:
        int m_fd;
    };

    CameraDevice m_cameraDevice;
    StreamSettings m_settings;
    ExternalOverlayContainer m_externalOverlays;
    ExternalOverlayUnion m_drawingUnion;
    std::vector<std::unique_ptr<StreamOverlay>> m_streamOverlays;  // in creation order
    std::unique_ptr<CairoHandler> m_drawer;
    std::vector<int> m_profiles;
    CommandChannelHandler m_channel;
    StreamOverlayCreator m_creator;
    CairoBoundingBoxContainer m_boxes;
};
