#pragma once

#include <string>
#include <vector>

#include "api_version.h"

// Facts about the device, read from platform parameters on first use and kept
// for the life of the process.
class CameraInfo {
  public:
    struct Resolution {
        int width;
        int height;
        std::string toString() const;
    };

    CameraInfo() = delete;

    static API_Version getSDK_Version();
    static std::string getProdNbr();
    static std::string getProdType();
    static bool isMechanicalPTZ();
    static int getNbrOfCameras();
    static bool isMultiCamera();
    // Width over height of the camera's image (camera ids count from 1).
    static float getCameraAspectRatio(int camera);
    // The device's resolutions that have the aspect ratio of camera 1.
    static std::vector<Resolution> getCameraResolutionsForCurrentAspectRatio();
    static std::string getCameraName(int camera);
    static bool isAlarmOverlaySupported();
    // Whether the overlay services are on the bus, as the alarm overlay asks
    // it; without one the overlay is not supported.
    using ServiceCheck = bool (*)();
    static void setOverlayServiceCheck(ServiceCheck check);

    // Parses "a<separator>b" as a / b; 0 without the separator or for b = 0.
    static float parseRatio(const std::string& text, char separator);

  private:
    static ServiceCheck s_overlayServiceCheck;
};
