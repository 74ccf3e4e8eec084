#pragma once

#include <string>

#include "cgi/cgi_handler.h"

// The product's API handler: the common methods with this product's
// capability arrays. Motion level is not offered, so it keeps no settings file.
class DW_CGI_Handler : public CGI_Handler {
  public:
    DW_CGI_Handler(CameraContainer& cameras, const API_VersionHandler& versions,
                   const std::string& configurationPath, const DataBoundaries& boundaries,
                   const DefaultValues& defaults, ConfigurationParserI& parser);

    JsonAutoPtr createDefaultFilters() const override;
    JsonAutoPtr createDefaultTriggers() const override;
};
