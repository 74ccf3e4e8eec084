#pragma once

#include <memory>
#include <string>

#include "base/api_version_handler.h"
#include "cgi/cgi_handler_result.h"
#include "cgi/cgi_header.h"
#include "config/configuration_parser_i.h"
#include "config/data_boundaries.h"
#include "config/default_values.h"
#include "config/json_auto_ptr.h"
#include "scene/camera_container.h"

// Answers the methods of the JSON API. Not thread-safe: the caller runs one
// request at a time (see CGI_Callback). The referenced objects outlive it.
class CGI_Handler {
  public:
    CGI_Handler(CameraContainer& cameras, const API_VersionHandler& versions,
                std::string configurationPath, const DataBoundaries& boundaries,
                const DefaultValues& defaults, ConfigurationParserI& parser,
                std::string motionLevelPath);
    virtual ~CGI_Handler() = default;
    CGI_Handler(const CGI_Handler&) = delete;
    CGI_Handler& operator=(const CGI_Handler&) = delete;

    // The method's result; null when the request's envelope is not acceptable.
    std::unique_ptr<CGI_HandlerResult> handleRequest(const char* request);
    CGI_Header extractHeader(const char* request) const;

    virtual std::unique_ptr<CGI_HandlerResult> handleRequestedCgi(const char* request,
                                                                  const std::string& method);
    virtual std::unique_ptr<CGI_HandlerResult> handleSetRequest(const char* request);
    // The capability arrays "filters" and "triggers" of this product.
    virtual JsonAutoPtr createDefaultFilters() const = 0;
    virtual JsonAutoPtr createDefaultTriggers() const = 0;

  protected:
    const DataBoundaries& boundaries() const { return m_boundaries; }
    const DefaultValues& defaults() const { return m_defaults; }

  private:
    std::unique_ptr<CGI_HandlerResult> handleGetRequest();
    std::unique_ptr<CGI_HandlerResult> handleSendAlarmEvent(const char* request);
    std::unique_ptr<CGI_HandlerResult> handleStartVisualConfirmation(const char* request);
    std::unique_ptr<CGI_HandlerResult> handleStopVisualConfirmation();
    std::unique_ptr<CGI_HandlerResult> handleGetSupportedVersions();
    std::unique_ptr<CGI_HandlerResult> handleConfigurationCapabilities();
    std::unique_ptr<CGI_HandlerResult> handleStartMotionLevel();
    std::unique_ptr<CGI_HandlerResult> handleStopMotionLevel();
    std::unique_ptr<CGI_HandlerResult> switchMotionLevel(bool active);

    // The stored document with params.configurationStatus raised by one.
    JsonAutoPtr documentToStore(const std::string& convertedRequest) const;

    CameraContainer& m_cameras;
    const API_VersionHandler& m_versions;
    const std::string m_configurationPath;
    const DataBoundaries& m_boundaries;
    const DefaultValues& m_defaults;
    ConfigurationParserI& m_parser;
    const std::string m_motionLevelPath;
};
