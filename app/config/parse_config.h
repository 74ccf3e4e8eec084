#pragma once

#include <jansson.h>

#include <string>

#include "config/json_auto_ptr.h"

// Readers of a decoded configuration document. Each throws StatusException
// when the part it reads is missing or has the wrong type. Returned members
// are borrowed from the document.
class ParseConfig {
  public:
    ParseConfig() = delete;

    // The stored document at a camera path.
    static JsonAutoPtr getPersistentConfig(const std::string& path);
    static json_t* getParams(const json_t* document);
    static json_t* getProfiles(const json_t* params);
    static json_t* getCameras(const json_t* params);
    static int getProfileUid(const json_t* profile);
    static int getCameraId(const json_t* camera);
    // The integer member named key; it must fit an int.
    static int parseInt(const json_t* object, const char* key);
    // The first entry of the array with the same uid / id as the given
    // profile / camera, or null.
    static json_t* getProfile(const json_t* profile, const json_t* profiles);
    static json_t* getCamera(const json_t* camera, const json_t* cameras);
};
