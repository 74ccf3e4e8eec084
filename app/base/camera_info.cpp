#include "camera_info.h"

#include <syslog.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>

#include "camlet_root.h"
#include "constants.h"
#include "convert.h"
#include "sdk_wrapper.h"
#include "utils.h"

namespace {

constexpr int kParameterBufferSize = 500;
constexpr int kAspectParameterBufferSize = 20;
constexpr int kSourceCountBufferSize = 4;
constexpr float kMinimumRatio = 0.001f;
constexpr double kRatioTolerance = 0.00001;
constexpr int kMaxWidth = 1920;
constexpr int kMaxWidthBeforeThreshold = 1280;

std::string readParameter(const std::string& name, int size = kParameterBufferSize) {
    std::string buffer(static_cast<size_t>(size), '\0');
    sdk_wrapper_param_get(name.c_str(), &buffer[0], size);
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

bool isYes(const char* name) {
    return readParameter(name) == "yes";
}

// The cached answers, guarded by one mutex.
struct Cache {
    std::mutex mutex;
    API_Version sdkVersion;
    std::optional<bool> mechanicalPTZ;
    int cameraCount = -1;
    std::map<int, std::string> cameraNames;
    std::optional<std::vector<CameraInfo::Resolution>> resolutions;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

std::optional<CameraInfo::Resolution> parseResolution(const std::string& item) {
    const auto size = utils::splitString(item, 'x');
    if (size.size() != 2) {
        return std::nullopt;
    }
    const auto width = Convert::stringToInt(size[0].c_str());
    const auto height = Convert::stringToInt(size[1].c_str());
    if (!width.second || !height.second || width.first == 0 || height.first == 0) {
        return std::nullopt;
    }
    return CameraInfo::Resolution{width.first, height.first};
}

std::string machineName() {
    std::ifstream in(camlet::rootedPath("/sys/devices/soc0/machine"));
    if (!in) {
        return "unknown";
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string CameraInfo::Resolution::toString() const {
    return std::to_string(width) + "x" + std::to_string(height);
}

float CameraInfo::parseRatio(const std::string& text, char separator) {
    const auto position = text.find(separator);
    if (position == std::string::npos) {
        return 0.0f;
    }
    const long numerator = std::strtol(text.substr(0, position).c_str(), nullptr, 10);
    const long denominator = std::strtol(text.substr(position + 1).c_str(), nullptr, 10);
    // A zero denominator would divide by zero; it is as unusable as a text
    // without separator.
    if (denominator == 0) {
        return 0.0f;
    }
    return static_cast<float>(numerator) / static_cast<float>(denominator);
}

API_Version CameraInfo::getSDK_Version() {
    std::lock_guard<std::mutex> lock(cache().mutex);
    if (!cache().sdkVersion.isValid()) {
        cache().sdkVersion =
            API_Version(readParameter("root.Properties.EmbeddedDevelopment.Version"));
    }
    return cache().sdkVersion;
}

std::string CameraInfo::getProdNbr() {
    return readParameter("root.Brand.ProdNbr");
}

std::string CameraInfo::getProdType() {
    return readParameter("root.Brand.ProdType");
}

bool CameraInfo::isMechanicalPTZ() {
    std::lock_guard<std::mutex> lock(cache().mutex);
    if (!cache().mechanicalPTZ) {
        cache().mechanicalPTZ = isYes("root.Properties.PTZ.PTZ") &&
                                !isYes("root.Properties.PTZ.DigitalPTZ") &&
                                !isYes("root.Properties.PTZ.DriverManagement") &&
                                !isYes("root.Properties.RemoteCameraControl.QUARP");
    }
    return *cache().mechanicalPTZ;
}

int CameraInfo::getNbrOfCameras() {
    std::lock_guard<std::mutex> lock(cache().mutex);
    if (cache().cameraCount == -1) {
        cache().cameraCount = 1;
        if (isYes("root.Properties.EmbeddedDevelopment.RuleEngine.MultiConfiguration")) {
            cache().cameraCount = static_cast<int>(std::strtol(
                readParameter("root.ImageSource.NbrOfSources", kSourceCountBufferSize).c_str(),
                nullptr, 10));
        }
    }
    return cache().cameraCount;
}

bool CameraInfo::isMultiCamera() {
    return getNbrOfCameras() > 1;
}

float CameraInfo::getCameraAspectRatio(int camera) {
    const std::string n = std::to_string(camera - 1);
    const std::string sensor =
        readParameter("ImageSource.I" + n + ".Sensor.AspectRatio", kAspectParameterBufferSize);
    const std::string resolution =
        readParameter("Image.I" + n + ".Appearance.Resolution", kAspectParameterBufferSize);
    const std::string videoType =
        readParameter("ImageSource.I" + n + ".Video.DetectedType", kAspectParameterBufferSize);

    if (!sensor.empty()) {
        const float ratio = parseRatio(sensor, ':');
        if (std::fabs(ratio) < kMinimumRatio) {
            syslog(LOG_WARNING, "Sensor aspect ratio '%s' has unknown format.\n", sensor.c_str());
        }
        return ratio;
    }
    const float ratio = parseRatio(resolution, 'x');
    if (std::fabs(ratio) >= kMinimumRatio) {
        return ratio;
    }
    if (videoType == "pal" || videoType == "ntsc" || videoType == "PAL" || videoType == "NTSC") {
        return 4.0f / 3.0f;
    }
    syslog(LOG_WARNING, "Detected video type '%s' is invalid, assuming aspect ratio 1.0.\n",
           videoType.c_str());
    return 1.0f;
}

std::vector<CameraInfo::Resolution> CameraInfo::getCameraResolutionsForCurrentAspectRatio() {
    const float aspectRatio = getCameraAspectRatio(1);
    const bool wide = !(getSDK_Version() < API_Version(constants::kSecondPlatformVersionThreshold));
    std::lock_guard<std::mutex> lock(cache().mutex);
    if (!cache().resolutions) {
        std::vector<Resolution> usable;
        const int maxWidth = wide ? kMaxWidth : kMaxWidthBeforeThreshold;
        for (const auto& item :
             utils::splitString(readParameter("root.Properties.Image.Resolution"), ',')) {
            const auto resolution = parseResolution(item);
            if (!resolution) {
                syslog(LOG_WARNING, "Failed to parse resolution, skipping: %s\n", item.c_str());
                continue;
            }
            const double ratio = static_cast<double>(resolution->width) / resolution->height;
            if (std::fabs(aspectRatio - ratio) < kRatioTolerance && resolution->width <= maxWidth) {
                usable.push_back(*resolution);
            }
        }
        cache().resolutions = std::move(usable);
    }
    return *cache().resolutions;
}

std::string CameraInfo::getCameraName(int camera) {
    const int cameras = getNbrOfCameras();
    if (camera < 1 || camera > cameras) {
        syslog(LOG_WARNING, "Invalid input. Camera number %i is not valid.\n", camera);
        return {};
    }
    std::lock_guard<std::mutex> lock(cache().mutex);
    auto it = cache().cameraNames.find(camera);
    if (it == cache().cameraNames.end()) {
        it = cache()
                 .cameraNames
                 .emplace(camera, readParameter("root.ImageSource.I" + std::to_string(camera - 1) +
                                                ".Name"))
                 .first;
    }
    return it->second;
}

CameraInfo::ServiceCheck CameraInfo::s_overlayServiceCheck = nullptr;

void CameraInfo::setOverlayServiceCheck(ServiceCheck check) {
    s_overlayServiceCheck = check;
}

bool CameraInfo::isAlarmOverlaySupported() {
    return !(getSDK_Version() < API_Version(constants::kSceneSubscriberMinPlatformVersion)) &&
           getSDK_Version().isValid() && !getCameraResolutionsForCurrentAspectRatio().empty() &&
           getNbrOfCameras() == 1 && machineName().find("Ambarella") == std::string::npos &&
           s_overlayServiceCheck != nullptr && s_overlayServiceCheck();
}
