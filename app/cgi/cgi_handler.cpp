#include "cgi/cgi_handler.h"

#include <syslog.h>

#include <climits>
#include <stdexcept>
#include <utility>

#include "base/camera_info.h"
#include "base/persistent_config_handler.h"
#include "cgi/request_text.h"
#include "config/api_version_compatibility_converter.h"
#include "config/configuration_capabilities.h"
#include "config/json_parser.h"
#include "events/motion_level_settings.h"
#include "overlay/alarm_overlay.h"
#include "svg/svg_transform.h"

namespace {

using Result = std::unique_ptr<CGI_HandlerResult>;

Result success(JsonAutoPtr data = JsonAutoPtr()) {
    return std::make_unique<CGI_HandlerResult>(STATUS_OK, std::move(data));
}

Result failure(StatusCode_e status) {
    return std::make_unique<CGI_HandlerResult>(status);
}

// The request's params object; throws STATUS_BAD_JSON with the method's texts.
JsonAutoPtr decodeRequest(const char* request, const std::string& method) {
    JsonAutoPtr document(JsonParser::decode(request));
    if (!document) {
        throw StatusException("Could not decode the " + method + " json data", STATUS_BAD_JSON);
    }
    if (JsonParser::getObject(document.get(), "params") == nullptr) {
        throw StatusException("Could not decode the params for " + method, STATUS_BAD_JSON);
    }
    return document;
}

// params.profile as a profile uid. A number beyond the range of uids names no
// profile, rather than being cut down to one that might exist.
int readProfileUid(const json_t* document, const std::string& method) {
    json_int_t uid = 0;
    if (!JsonParser::unpack(json_object_get(document, "params"), "{s:I}", "profile", &uid)) {
        throw StatusException("Could not unpack data for profile uid for " + method,
                              STATUS_MISSING_PARAMETER);
    }
    if (!JsonParser::fitsInt(uid)) {
        throw StatusException("Profile does not exist", STATUS_INVALID_PARAMETER);
    }
    return static_cast<int>(uid);
}

// On a mechanical PTZ device every profile carries a presets array.
void addMissingPresets(json_t* document) {
    json_t* params = JsonParser::getObject(document, "params");
    if (params == nullptr) {
        syslog(LOG_WARNING,
               "Could not get 'params'  when trying to add missing PTZ preset array\n");
        return;
    }
    json_t* profiles = JsonParser::getArray(params, "profiles");
    if (profiles == nullptr) {
        syslog(LOG_WARNING,
               "Could not get 'profiles' when trying to add missing PTZ preset array \n");
        return;
    }
    for (std::size_t i = 0; i < json_array_size(profiles); ++i) {
        json_t* profile = json_array_get(profiles, i);
        if (!json_is_object(profile)) {
            syslog(LOG_WARNING,
                   "Could not get the 'profile'  when trying to add missing PTZ preset array\n");
            continue;
        }
        if (json_object_get(profile, "presets") == nullptr &&
            json_object_set_new(profile, "presets", json_array()) != 0) {
            syslog(LOG_WARNING, "Could not append presets array\n");
        }
    }
}

int nextConfigurationStatus(int stored) {
    return stored == INT_MAX ? 1 : stored + 1;
}

}  // namespace

CGI_Handler::CGI_Handler(CameraContainer& cameras, const API_VersionHandler& versions,
                         std::string configurationPath, const DataBoundaries& boundaries,
                         const DefaultValues& defaults, ConfigurationParserI& parser,
                         std::string motionLevelPath)
    : m_cameras(cameras),
      m_versions(versions),
      m_configurationPath(std::move(configurationPath)),
      m_boundaries(boundaries),
      m_defaults(defaults),
      m_parser(parser),
      m_motionLevelPath(std::move(motionLevelPath)) {}

CGI_Header CGI_Handler::extractHeader(const char* request) const {
    return CGI_Header(request, m_versions);
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleRequest(const char* request) {
    const CGI_Header header = extractHeader(request);
    if (header.status() != STATUS_OK) {
        return nullptr;
    }
    return handleRequestedCgi(request, header.method());
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleRequestedCgi(const char* request,
                                                                   const std::string& method) {
    if (method == "setConfiguration") {
        return handleSetRequest(request);
    }
    if (method == "getConfiguration") {
        return handleGetRequest();
    }
    if (method == "startVisualConfirmation") {
        return handleStartVisualConfirmation(request);
    }
    if (method == "sendAlarmEvent") {
        return handleSendAlarmEvent(request);
    }
    if (method == "stopVisualConfirmation") {
        return handleStopVisualConfirmation();
    }
    if (method == "getSupportedVersions") {
        return handleGetSupportedVersions();
    }
    if (method == "getConfigurationCapabilities") {
        return handleConfigurationCapabilities();
    }
    if (method == "startMotionLevel") {
        return handleStartMotionLevel();
    }
    if (method == "stopMotionLevel") {
        return handleStopMotionLevel();
    }
    if (method == "missingMethod") {
        return failure(STATUS_MISSING_PARAMETER);
    }
    return failure(STATUS_METHOD_NOT_FOUND);
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleSetRequest(const char* request) {
    try {
        API_VersionCompatibilityConverter converter;
        const std::string converted =
            converter.handleOlderAPI_Versions(request, m_versions, m_configurationPath);
        if (converter.status() != STATUS_OK) {
            throw StatusException("Could not convert configuration to new API-version",
                                  converter.status());
        }
        m_parser.parse(converted, m_boundaries);
        if (m_parser.status() != STATUS_OK) {
            throw StatusException("Could not parse configuration", m_parser.status());
        }
        CameraConfigurationContainer configurations = m_parser.createConfigurations();
        const JsonAutoPtr document = documentToStore(converted);
        if (!PersistentConfigHandler::readsBackAsWritten(document.get())) {
            throw StatusException("The configuration holds a value that cannot be stored",
                                  STATUS_INVALID_PARAMETER);
        }
        if (!PersistentConfigHandler::save(document.get(), m_configurationPath)) {
            throw StatusException("Could not save configuration", STATUS_SAVE_FAILED);
        }
        m_cameras.updateWithNewConfiguration(std::move(configurations));
        return success();
    } catch (const StatusException& e) {
        syslog(LOG_ERR, "%s\n", e.what());
        return failure(e.getStatusCode());
    }
}

JsonAutoPtr CGI_Handler::documentToStore(const std::string& convertedRequest) const {
    JsonAutoPtr document(JsonParser::decode(convertedRequest));
    json_t* params = JsonParser::getObject(document.get(), "params");
    if (params == nullptr) {
        throw StatusException("Could not get 'params' from the configuration", STATUS_INTERNAL);
    }
    const int status = nextConfigurationStatus(
        PersistentConfigHandler::getConfigurationStatus(m_configurationPath));
    if (json_object_set_new(params, "configurationStatus", json_integer(status)) != 0) {
        throw StatusException("Could not set the configuration status", STATUS_INTERNAL);
    }
    if (CameraInfo::isMechanicalPTZ()) {
        addMissingPresets(document.get());
    }
    return document;
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleGetRequest() {
    try {
        const std::string stored = PersistentConfigHandler::load(m_configurationPath);
        if (stored.empty()) {
            throw StatusException("Could not read the configuration file", STATUS_READ_FAILED);
        }
        const JsonAutoPtr document(JsonParser::decode(stored));
        if (!document) {
            throw StatusException("Could not decode the json from the configuration file",
                                  STATUS_INTERNAL);
        }
        const json_t* params = json_object_get(document.get(), "params");
        if (params == nullptr) {
            throw StatusException("Could not get 'params' from the decoded json", STATUS_INTERNAL);
        }
        JsonAutoPtr copy(json_deep_copy(params));
        if (!copy) {
            throw StatusException("Could not copy 'params' from the decoded json", STATUS_INTERNAL);
        }
        return success(std::move(copy));
    } catch (const StatusException& e) {
        syslog(LOG_ERR, "%s\n", e.what());
        return failure(e.getStatusCode());
    }
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleSendAlarmEvent(const char* request) {
    try {
        const JsonAutoPtr document = decodeRequest(request, "sendAlarmEvent");
        const int uid = readProfileUid(document.get(), "sendAlarmEvent");
        if (!m_cameras.doesProfileExist(uid)) {
            throw StatusException("Profile does not exist", STATUS_INVALID_PARAMETER);
        }
        if (!m_cameras.sendAlarmEvent(uid)) {
            throw StatusException("Could not send alarm event", STATUS_INTERNAL);
        }
        return success();
    } catch (const StatusException& e) {
        syslog(LOG_ERR, "%s\n", e.what());
        syslog(LOG_ERR, "%s\n", requestText::forLog(request).c_str());
        return failure(e.getStatusCode());
    }
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleStartVisualConfirmation(const char* request) {
    try {
        const JsonAutoPtr document = decodeRequest(request, "startVisualConfirmation");
        const int uid = readProfileUid(document.get(), "startVisualConfirmation");
        double m[9];
        if (!JsonParser::unpack(json_object_get(document.get(), "params"), "{s:[FFFFFFFFF]}",
                                "transform", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7],
                                &m[8])) {
            throw StatusException("Could not unpack the transformation matrix",
                                  STATUS_MISSING_PARAMETER);
        }
        if (!m_cameras.enableVisualConfirmation(uid, createSVGTransform(m, 9))) {
            throw StatusException("Could not enable visual confirmation", STATUS_CONTRADICTION);
        }
        return success();
    } catch (const StatusException& e) {
        syslog(LOG_ERR, "%s\n", e.what());
        syslog(LOG_ERR, "%s\n", requestText::forLog(request).c_str());
        return failure(e.getStatusCode());
    }
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleStopVisualConfirmation() {
    m_cameras.disableVisualConfirmation();
    return success();
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleGetSupportedVersions() {
    try {
        JsonAutoPtr versions(json_array());
        if (!versions) {
            throw StatusException("Could not create the versions json array", STATUS_INTERNAL);
        }
        for (const API_Version& version : m_versions.versions()) {
            json_t* text = json_string(version.text().c_str());
            if (text == nullptr) {
                throw StatusException("Could not create a version json array", STATUS_INTERNAL);
            }
            if (json_array_append_new(versions.get(), text) != 0) {
                throw StatusException("Could not extend the versions json array", STATUS_INTERNAL);
            }
        }
        JsonAutoPtr data(json_object());
        if (!data) {
            throw StatusException("Could not create the response for GetSupportedVersions",
                                  STATUS_INTERNAL);
        }
        if (json_object_set_new(data.get(), "apiVersions", versions.release()) != 0) {
            throw StatusException("Could not insert the apiVersions array into the response",
                                  STATUS_INTERNAL);
        }
        return success(std::move(data));
    } catch (const StatusException& e) {
        syslog(LOG_WARNING,
               "An exception occurred when packing the response to GetSupportedVersions: %s\n",
               e.what());
        return failure(e.getStatusCode());
    }
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleConfigurationCapabilities() {
    try {
        return success(ConfigurationCapabilities::create(createDefaultFilters(),
                                                         createDefaultTriggers(), m_boundaries,
                                                         m_defaults, AlarmOverlay::isEnabled()));
    } catch (const StatusException& e) {
        syslog(LOG_ERR, "%s\n", e.what());
        return failure(e.getStatusCode());
    }
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleStartMotionLevel() {
    return switchMotionLevel(true);
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::handleStopMotionLevel() {
    return switchMotionLevel(false);
}

std::unique_ptr<CGI_HandlerResult> CGI_Handler::switchMotionLevel(bool active) {
    const SupportedCapabilitiesDefaults* capabilities = m_defaults.getSupportedCapabilities();
    if (capabilities == nullptr || !capabilities->motionLevelSupported) {
        return failure(STATUS_METHOD_NOT_FOUND);
    }
    if (active) {
        m_cameras.startMotionLevel();
    } else {
        m_cameras.stopMotionLevel();
    }
    try {
        if (!MotionLevelSettings::save(active, m_motionLevelPath)) {
            syslog(LOG_ERR, "Could not save the motion level settings\n");
        }
    } catch (const std::runtime_error& e) {
        syslog(LOG_ERR, "%s\n", e.what());
    }
    return success();
}
