#pragma once

#include <map>
#include <vector>

#include "overlay/stream_settings.h"

// What the alarm overlay is to draw: the profiles with the overlay enabled
// and the stream settings of every configured camera.
struct AlarmOverlayConfiguration {
    std::vector<int> profileIds;                           // in configuration order
    std::map<int, StreamSettings> streamSettingsByCamera;  // camera id -> settings

    bool operator==(const AlarmOverlayConfiguration& other) const {
        return profileIds == other.profileIds &&
               streamSettingsByCamera == other.streamSettingsByCamera;
    }
};
