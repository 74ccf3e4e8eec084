#include "configuration_capabilities.h"

#include <utility>

#include "base/camera_info.h"
#include "config/cgi_pack.h"

JsonAutoPtr ConfigurationCapabilities::create(JsonAutoPtr filters, JsonAutoPtr triggers,
                                              const DataBoundaries& boundaries,
                                              const DefaultValues& defaults,
                                              bool alarmOverlaySupported) {
    JsonAutoPtr data = CGI_Pack::object("Cannot create the data for the default profile");
    CGI_Pack::insertInObject(data.get(), std::move(filters), "filters",
                             "Cannot add the filters to the default configuration");
    CGI_Pack::insertInObject(data.get(), std::move(triggers), "triggers",
                             "Cannot add the triggers to the default configuration");
    CGI_Pack::insertInObject(data.get(), CGI_Pack::profiles(boundaries), "profiles",
                             "Cannot add the profiles to the default configuration");
    CGI_Pack::insertInObject(data.get(), CGI_Pack::alarmOverlay(alarmOverlaySupported),
                             "alarmOverlay",
                             "Cannot add alarmOverlay to the default configuration");
    CGI_Pack::insertInObject(data.get(), CGI_Pack::motionLevel(defaults), "motionLevel",
                             "Cannot add motionLevel to the default configuration");
    if (CameraInfo::isMechanicalPTZ()) {
        CGI_Pack::insertInObject(data.get(), CGI_Pack::presets(boundaries, defaults), "presets",
                                 "Cannot add the presets to the default configuration");
    }
    return data;
}
