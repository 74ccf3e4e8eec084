#pragma once

#include <cstddef>

// Constants shared by most parts of the program.
namespace constants {

// Platform version from which the scene subscriber library is used.
extern const char* const kSceneSubscriberMinPlatformVersion;
// Platform version from which wider resolutions are offered.
extern const char* const kSecondPlatformVersionThreshold;
// Key of the per-object data event and of internal per-object data.
extern const char* const kInternalDataKey;
extern const char* const kDirectionLeftToRight;
extern const char* const kVersion1_1;
extern const char* const kVersion1_3;
extern const char* const kInvalidMarker;
extern const char* const kSceneServiceSocket;
extern const char* const kSceneSubscriberLibrary;

// printf format of an SVG drawing style: fill colour, fill opacity, stroke
// colour, stroke width.
extern const char* const kDrawingStyleFormat;

struct DrawingStyle {
    const char* colour;
    double fillOpacity;
    double strokeWidth;
};
// Area styles (red, green, yellow, blue) and object outline styles (red, green).
extern const DrawingStyle kAreaStyles[4];
extern const DrawingStyle kOutlineStyles[2];

struct SceneFormat {
    const char* version;
    int value;
};
extern const SceneFormat kSceneFormats[2];

}  // namespace constants
