#include "events/event_names.h"

#include "base/camera_info.h"

namespace utils {

std::string generateEventName(int camera, int uid) {
    return "Camera" + std::to_string(camera) + "Profile" + std::to_string(uid);
}

std::string generateAnyEventName(int camera) {
    return "Camera" + std::to_string(camera) + "ProfileANY";
}

std::string generateGlobalEventName() {
    return "CameraANY";
}

std::string generateEventNiceName(const std::string& prefix, const std::string& name, int camera) {
    return appendCameraName(prefix + ": " + name, camera);
}

std::string generateEventLookupKey(const std::string& niceName, const std::string& name) {
    return niceName + "_" + name;
}

std::string appendCameraName(const std::string& niceName, int camera) {
    if (camera > 0 && CameraInfo::isMultiCamera()) {
        return niceName + " (" + CameraInfo::getCameraName(camera) + ")";
    }
    return niceName;
}

}  // namespace utils
