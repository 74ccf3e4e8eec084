#include "dw_cgi_handler.h"

#include "dw_capabilities.h"

namespace {

constexpr const char* kMotionLevelPath = "NotSupported";

}  // namespace

DW_CGI_Handler::DW_CGI_Handler(CameraContainer& cameras, const API_VersionHandler& versions,
                               const std::string& configurationPath,
                               const DataBoundaries& boundaries, const DefaultValues& defaults,
                               ConfigurationParserI& parser)
    : CGI_Handler(cameras, versions, configurationPath, boundaries, defaults, parser,
                  kMotionLevelPath) {}

JsonAutoPtr DW_CGI_Handler::createDefaultFilters() const {
    return DW_Capabilities::createDefaultFilters(boundaries(), defaults());
}

JsonAutoPtr DW_CGI_Handler::createDefaultTriggers() const {
    return DW_Capabilities::createDefaultTriggers(boundaries(), defaults());
}
