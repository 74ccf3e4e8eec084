#pragma once

#include "base/api_version.h"

// The optional frame contents ("capabilities") a scene API version supports.
class MoteUtils {
  public:
    static constexpr unsigned kBoundingBox = 1;
    static constexpr unsigned kPolygon = 2;
    static constexpr unsigned kVelocity = 4;
    static constexpr unsigned kLowConfident = 8;
    // In the order they are named in requests and switched on.
    static constexpr unsigned kCapabilityBits[] = {kBoundingBox, kPolygon, kVelocity,
                                                   kLowConfident};

    // The mask without the bits the version lacks.
    static unsigned removeUnsupportedCapabilites(const API_Version& version, unsigned mask);
    // True when the version supports every bit of the mask.
    static bool areCapabilitiesSupported(const API_Version& version, unsigned mask);

  private:
    // The version's capabilities; 0 (after a warning) for an unknown version.
    static unsigned capabilitiesOf(const API_Version& version);
};
