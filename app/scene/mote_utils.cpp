#include "scene/mote_utils.h"

#include <syslog.h>

#include "base/constants.h"

unsigned MoteUtils::capabilitiesOf(const API_Version& version) {
    for (const constants::SceneFormat& format : constants::kSceneFormats) {
        if (API_Version(format.version) == version) {
            return static_cast<unsigned>(format.value);
        }
    }
    syslog(LOG_WARNING, "Cannon find the capabilities for version %s\n", version.text().c_str());
    return 0;
}

unsigned MoteUtils::removeUnsupportedCapabilites(const API_Version& version, unsigned mask) {
    return mask & capabilitiesOf(version);
}

bool MoteUtils::areCapabilitiesSupported(const API_Version& version, unsigned mask) {
    return (mask & ~capabilitiesOf(version)) == 0;
}
