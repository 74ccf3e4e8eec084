#pragma once

#include <string>

// Names of the alarm events. Numbers are decimal without leading zeros.
namespace utils {

// "Camera" + camera + "Profile" + uid, the name of a profile's event.
std::string generateEventName(int camera, int uid);
// "Camera" + camera + "ProfileANY", the event active while any profile of the camera is.
std::string generateAnyEventName(int camera);
// "CameraANY", the event active while any camera is in alarm.
std::string generateGlobalEventName();
// prefix + ": " + name; for a camera above 0 on a multi-channel device the
// camera's name in parentheses follows.
std::string generateEventNiceName(const std::string& prefix, const std::string& name, int camera);
// The key events are declared and sent under: nice name + "_" + name.
std::string generateEventLookupKey(const std::string& niceName, const std::string& name);
// The nice name with " (" + camera name + ")" appended for a camera above 0 on
// a multi-channel device, unchanged otherwise.
std::string appendCameraName(const std::string& niceName, int camera);

}  // namespace utils
