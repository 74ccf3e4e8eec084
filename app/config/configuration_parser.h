#pragma once

#include <jansson.h>
#include <syslog.h>

#include <memory>
#include <string>
#include <vector>

#include "base/status_exception.h"
#include "config/cgi_camera.h"
#include "config/configuration_parser_i.h"
#include "config/configuration_rules.h"
#include "guard/area_guard.h"

// Parses a configuration document with one guard factory per profile.
//
// Factory is built from (profile object, rotation of the profile's camera,
// boundaries), never throws and records its own outcome; it offers
// getStatus(), getUid(), getCamera(), isAlarmOverlayEnabled() and
// createGuard() const returning a new guard (std::unique_ptr<Guard>).
//
// Not thread-safe: one thread at a time.
template <class Factory>
class ConfigurationParser : public ConfigurationParserI {
  public:
    void parse(const std::string& text, const DataBoundaries& boundaries) override;
    CameraConfigurationContainer createConfigurations() const override;
    StatusCode_e status() const override { return m_status; }

    // Forgets the last document; the status becomes STATUS_BAD_JSON.
    void clear();

  private:
    void parseProfiles(const json_t* params, const DataBoundaries& boundaries);
    std::vector<ProfileSummary> summarizeProfiles() const;

    StatusCode_e m_status = STATUS_BAD_JSON;
    std::vector<CgiCamera> m_cameras;                   // document order
    std::vector<std::unique_ptr<Factory>> m_factories;  // document order
};

template <class Factory>
void ConfigurationParser<Factory>::parse(const std::string& text,
                                         const DataBoundaries& boundaries) {
    clear();
    try {
        const JsonAutoPtr document = configurationRules::decode(text);
        const json_t* params = configurationRules::getParams(document.get());
        m_cameras = cgiCamera::parseCameras(params);
        parseProfiles(params, boundaries);
        const std::vector<ProfileSummary> profiles = summarizeProfiles();
        configurationRules::deactivateCamerasWithoutProfiles(m_cameras, profiles);
        configurationRules::checkProfiles(m_cameras, profiles, boundaries);
        m_status = STATUS_OK;
    } catch (const StatusException& e) {
        m_status = e.getStatusCode();
        syslog(LOG_ERR, "%s\n", e.what());
        syslog(LOG_ERR, "%s\n", text.c_str());
    }
}

template <class Factory>
CameraConfigurationContainer ConfigurationParser<Factory>::createConfigurations() const {
    CameraConfigurationContainer container;
    container.getAlarmOverlay() =
        configurationRules::createAlarmOverlayConfiguration(m_cameras, summarizeProfiles());
    for (const auto& camera : m_cameras) {
        if (camera.active) {
            container.insert(CameraConfiguration(camera.id, camera.rotation));
        }
    }
    for (const auto& factory : m_factories) {
        CameraConfiguration* configuration = container.getConfiguration(factory->getCamera());
        if (configuration != nullptr) {
            configuration->insertGuard(factory->createGuard());
        }
    }
    return container;
}

template <class Factory>
void ConfigurationParser<Factory>::clear() {
    m_factories.clear();
    m_cameras.clear();
    m_status = STATUS_BAD_JSON;
}

template <class Factory>
void ConfigurationParser<Factory>::parseProfiles(const json_t* params,
                                                 const DataBoundaries& boundaries) {
    const json_t* profiles = configurationRules::getProfiles(params);
    for (size_t i = 0; i < json_array_size(profiles); ++i) {
        const json_t& profile = *json_array_get(profiles, i);
        const CgiCamera* camera = configurationRules::findCamera(
            m_cameras, configurationRules::getProfileCamera(&profile));
        if (camera == nullptr) {
            throw StatusException("Found invalid rotation for a camera", STATUS_INVALID_PARAMETER);
        }
        m_factories.push_back(std::make_unique<Factory>(profile, camera->rotation, boundaries));
    }
    for (const auto& factory : m_factories) {
        if (factory->getStatus() != STATUS_OK) {
            throw StatusException("A guard factory is not ok", factory->getStatus());
        }
    }
}

template <class Factory>
std::vector<ProfileSummary> ConfigurationParser<Factory>::summarizeProfiles() const {
    std::vector<ProfileSummary> profiles;
    for (const auto& factory : m_factories) {
        profiles.push_back(
            {factory->getUid(), factory->getCamera(), factory->isAlarmOverlayEnabled()});
    }
    return profiles;
}
