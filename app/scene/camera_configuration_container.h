#pragma once

#include <map>
#include <vector>

#include "overlay/alarm_overlay_configuration.h"
#include "scene/camera_configuration.h"

// A whole configuration as the cameras apply it: at most one configuration
// per camera id, in insertion order, and the alarm overlay's part.
class CameraConfigurationContainer {
  public:
    // A configuration for a camera id already present is logged and dropped
    // (with its guards).
    void insert(CameraConfiguration configuration);
    // The configuration of the camera, or null.
    CameraConfiguration* getConfiguration(int cameraId);
    const CameraConfiguration* getConfiguration(int cameraId) const;

    std::vector<CameraConfiguration>& getConfigurations() { return m_configurations; }
    const std::vector<CameraConfiguration>& getConfigurations() const { return m_configurations; }

    AlarmOverlayConfiguration& getAlarmOverlay() { return m_alarmOverlay; }
    const AlarmOverlayConfiguration& getAlarmOverlay() const { return m_alarmOverlay; }

  private:
    std::vector<CameraConfiguration> m_configurations;
    AlarmOverlayConfiguration m_alarmOverlay;
};
