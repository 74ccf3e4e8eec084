#pragma once

#include <string>

#include "base/status_exception.h"
#include "config/data_boundaries.h"
#include "scene/camera_configuration_container.h"

// Turns a configuration document into camera configurations.
class ConfigurationParserI {
  public:
    virtual ~ConfigurationParserI() = default;

    // Never throws; status() tells the outcome.
    virtual void parse(const std::string& text, const DataBoundaries& boundaries) = 0;
    // The configurations with newly built guards; only after a parse whose
    // status is STATUS_OK.
    virtual CameraConfigurationContainer createConfigurations() const = 0;
    virtual StatusCode_e status() const = 0;

  protected:
    ConfigurationParserI() = default;
    ConfigurationParserI(const ConfigurationParserI&) = default;
    ConfigurationParserI& operator=(const ConfigurationParserI&) = default;
};
