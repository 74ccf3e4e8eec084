#include "constants.h"

namespace constants {

const char* const kSceneSubscriberMinPlatformVersion = "2.15";
const char* const kSecondPlatformVersionThreshold = "2.16";
const char* const kInternalDataKey = "xinternal_data";
const char* const kDirectionLeftToRight = "leftToRight";
const char* const kVersion1_1 = "1.1";
const char* const kVersion1_3 = "1.3";
const char* const kInvalidMarker = "invalid";
const char* const kSceneServiceSocket = "/var/run/bedrock/scenes";
const char* const kSceneSubscriberLibrary = "libvideo_scene_subscriber.so.0";

const char* const kDrawingStyleFormat = "fill:%s;fill-opacity:%f;stroke:%s;stroke-width:%f;";

const DrawingStyle kAreaStyles[4] = {
    {"#FF0000", 0.2, 0.005},
    {"#00FF00", 0.2, 0.005},
    {"#FFFF66", 0.2, 0.005},
    {"#0000FF", 0.2, 0.005},
};
const DrawingStyle kOutlineStyles[2] = {
    {"#FF0000", 0.0, 0.02},
    {"#00FF00", 0.0, 0.02},
};

const SceneFormat kSceneFormats[2] = {{"1.0", 7}, {"1.1", 15}};

}  // namespace constants
