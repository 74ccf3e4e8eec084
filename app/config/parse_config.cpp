#include "parse_config.h"

#include "base/persistent_config_handler.h"
#include "base/status_exception.h"
#include "config/json_parser.h"

namespace {

json_t* findByKey(const json_t* entry, const json_t* entries, const char* key) {
    const int wanted = ParseConfig::parseInt(entry, key);
    size_t index = 0;
    json_t* candidate = nullptr;
    json_array_foreach(entries, index, candidate) {
        if (ParseConfig::parseInt(candidate, key) == wanted) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace

JsonAutoPtr ParseConfig::getPersistentConfig(const std::string& path) {
    const std::string text = PersistentConfigHandler::load(path);
    if (text.empty()) {
        throw StatusException("Could not read the configuration file", STATUS_READ_FAILED);
    }
    JsonAutoPtr document(JsonParser::decode(text));
    if (!document) {
        throw StatusException("Could not decode json in the configuration file", STATUS_INTERNAL);
    }
    return document;
}

json_t* ParseConfig::getParams(const json_t* document) {
    json_t* params = JsonParser::getObject(document, "params");
    if (params == nullptr) {
        throw StatusException("Could not read 'params' from configuration",
                              STATUS_MISSING_PARAMETER);
    }
    return params;
}

json_t* ParseConfig::getProfiles(const json_t* params) {
    json_t* profiles = JsonParser::getArray(params, "profiles");
    if (profiles == nullptr) {
        throw StatusException("Could not read 'profiles' from configuration",
                              STATUS_MISSING_PARAMETER);
    }
    return profiles;
}

json_t* ParseConfig::getCameras(const json_t* params) {
    json_t* cameras = JsonParser::getArray(params, "cameras");
    if (cameras == nullptr) {
        throw StatusException("Could not read 'cameras' from old configuration",
                              STATUS_MISSING_PARAMETER);
    }
    return cameras;
}

int ParseConfig::getProfileUid(const json_t* profile) {
    return parseInt(profile, "uid");
}

int ParseConfig::getCameraId(const json_t* camera) {
    return parseInt(camera, "id");
}

int ParseConfig::parseInt(const json_t* object, const char* key) {
    const json_t* member = json_object_get(object, key);
    if (!json_is_integer(member) || !JsonParser::fitsInt(json_integer_value(member))) {
        throw StatusException(std::string("Failed to parse key: ") + key, STATUS_MISSING_PARAMETER);
    }
    return static_cast<int>(json_integer_value(member));
}

json_t* ParseConfig::getProfile(const json_t* profile, const json_t* profiles) {
    return findByKey(profile, profiles, "uid");
}

json_t* ParseConfig::getCamera(const json_t* camera, const json_t* cameras) {
    return findByKey(camera, cameras, "id");
}
