#include "api_version_compatibility_converter.h"

#include <syslog.h>

#include "base/constants.h"
#include "config/json_auto_ptr.h"
#include "config/json_parser.h"
#include "config/parse_config.h"

namespace {

// Versions below these do not know the members carried over for them.
bool lacksAlarmOverlayFeatures(const API_Version& version) {
    return version < API_Version(constants::kVersion1_3);
}

bool lacksPresets(const API_Version& version) {
    return version < API_Version(constants::kVersion1_1);
}

JsonAutoPtr decodeRequest(const std::string& request) {
    json_error_t error;
    JsonAutoPtr document(json_loads(request.c_str(), 0, &error));
    if (!document) {
        throw StatusException(std::string("Unable to decode Json: ") + error.text, STATUS_BAD_JSON);
    }
    return document;
}

// The HTTP layer refuses other versions already; a version without a
// highest minor to convert to must not be stored either.
void requireSupported(const API_Version& version, const API_VersionHandler& versions) {
    if (!versions.isSupported(version)) {
        throw StatusException(
            "The apiVersion " + version.text() + " of the request is not supported",
            STATUS_VERSION_NOT_SUPPORTED);
    }
}

using FindStoredEntry = json_t* (*)(const json_t* entry, const json_t* entries);

// Replaces the key of every request entry with the value of the stored entry
// that findStored matches to it; entries without such a value lose the key.
void carryOver(json_t* requestEntries, const json_t* storedEntries, const char* key,
               FindStoredEntry findStored) {
    size_t index = 0;
    json_t* entry = nullptr;
    json_array_foreach(requestEntries, index, entry) {
        json_object_del(entry, key);
        const json_t* value = json_object_get(findStored(entry, storedEntries), key);
        if (value != nullptr && json_object_set(entry, key, const_cast<json_t*>(value)) != 0) {
            throw StatusException(
                std::string("Could not carry over '") + key + "' from the stored configuration",
                STATUS_INTERNAL);
        }
    }
}

}  // namespace

std::string API_VersionCompatibilityConverter::handleOlderAPI_Versions(
    const std::string& request, const API_VersionHandler& versions,
    const std::string& configurationPath) {
    try {
        const JsonAutoPtr document = decodeRequest(request);
        const API_Version version = getAPI_VersionOfRequest(document.get());
        requireSupported(version, versions);
        // The stored document is read only when something is taken from it, so
        // that a current request does not depend on the stored file.
        const JsonAutoPtr stored = lacksAlarmOverlayFeatures(version)
                                       ? ParseConfig::getPersistentConfig(configurationPath)
                                       : JsonAutoPtr();
        handleAlarmOverlayFeatures(document.get(), version, stored.get());
        incrementAPI_VersionOfRequest(document.get(),
                                      versions.getHighestSupportedVersion(version.getMajor()));
        handlePresetFeatures(document.get(), version, stored.get());
        m_status = STATUS_OK;
        return JsonParser::dumpJsonToString(document.get());
    } catch (const StatusException& e) {
        m_status = e.getStatusCode();
        syslog(LOG_WARNING, "%s\n", e.what());
        syslog(LOG_WARNING, "%s\n", request.c_str());
        return "";
    }
}

API_Version API_VersionCompatibilityConverter::getAPI_VersionOfRequest(const json_t* request) {
    const json_t* text = json_object_get(request, "apiVersion");
    if (!json_is_string(text)) {
        throw StatusException("Failed to parse apiVersion", STATUS_MISSING_PARAMETER);
    }
    return API_Version(json_string_value(text));
}

void API_VersionCompatibilityConverter::incrementAPI_VersionOfRequest(json_t* request,
                                                                      const API_Version& version) {
    json_t* text = json_string(version.text().c_str());
    if (text == nullptr) {
        throw StatusException("Could not create string to increment API version of request",
                              STATUS_INTERNAL);
    }
    if (json_object_set_new(request, "apiVersion", text) != 0) {
        throw StatusException("Could not store string to increment API version of request",
                              STATUS_INTERNAL);
    }
}

void API_VersionCompatibilityConverter::handleAlarmOverlayFeatures(json_t* request,
                                                                   const API_Version& version,
                                                                   const json_t* stored) {
    if (!lacksAlarmOverlayFeatures(version)) {
        return;
    }
    json_t* requestParams = ParseConfig::getParams(request);
    const json_t* storedParams = ParseConfig::getParams(stored);
    alarmOverlayUpdateCameraQuery(storedParams, requestParams);
    alarmOverlayUpdateProfilesQuery(storedParams, requestParams);
}

void API_VersionCompatibilityConverter::handlePresetFeatures(json_t* request,
                                                             const API_Version& version,
                                                             const json_t* stored) {
    if (!lacksPresets(version)) {
        return;
    }
    const json_t* storedProfiles = ParseConfig::getProfiles(ParseConfig::getParams(stored));
    json_t* requestProfiles = ParseConfig::getProfiles(ParseConfig::getParams(request));
    carryOver(requestProfiles, storedProfiles, "presets", ParseConfig::getProfile);
}

void API_VersionCompatibilityConverter::alarmOverlayUpdateCameraQuery(const json_t* storedParams,
                                                                      json_t* requestParams) {
    const json_t* storedCameras = ParseConfig::getCameras(storedParams);
    json_t* requestCameras = ParseConfig::getCameras(requestParams);
    carryOver(requestCameras, storedCameras, "overlayResolution", ParseConfig::getCamera);
}

void API_VersionCompatibilityConverter::alarmOverlayUpdateProfilesQuery(const json_t* storedParams,
                                                                        json_t* requestParams) {
    const json_t* storedProfiles = ParseConfig::getProfiles(storedParams);
    json_t* requestProfiles = ParseConfig::getProfiles(requestParams);
    carryOver(requestProfiles, storedProfiles, "alarmOverlayEnabled", ParseConfig::getProfile);
}
