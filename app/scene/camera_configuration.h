#pragma once

#include <memory>
#include <vector>

class Guard;

// What one camera is to run: its id (from 1), its rotation and the guards of
// its profiles in configuration order. The configuration owns its guards
// until a camera takes them over, so guards that are never applied are not
// lost.
class CameraConfiguration {
  public:
    CameraConfiguration(int cameraId, int rotation);
    CameraConfiguration(CameraConfiguration&& other) noexcept;
    CameraConfiguration& operator=(CameraConfiguration&& other) noexcept;
    ~CameraConfiguration();

    int getCameraId() const { return m_cameraId; }
    int getRotation() const { return m_rotation; }

    // Appends the guard; null is ignored.
    void insertGuard(std::unique_ptr<Guard> guard);
    // The guard of the profile, or null.
    Guard* getGuard(int profileId) const;
    const std::vector<std::unique_ptr<Guard>>& getGuards() const { return m_guards; }
    // Hands the guards over to the camera that applies the configuration.
    std::vector<std::unique_ptr<Guard>> takeGuards();

    // Equal id and rotation.
    bool operator==(const CameraConfiguration& other) const;
    bool operator!=(const CameraConfiguration& other) const { return !(*this == other); }
    // Equal id.
    bool operator==(int cameraId) const { return m_cameraId == cameraId; }

  private:
    int m_cameraId;
    int m_rotation;  // degrees
    std::vector<std::unique_ptr<Guard>> m_guards;
};
