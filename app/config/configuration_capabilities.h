#pragma once

#include "config/data_boundaries.h"
#include "config/default_values.h"
#include "config/json_auto_ptr.h"

// The data of the answer to "getConfigurationCapabilities": what a client may
// configure on this device, with limits and defaults.
class ConfigurationCapabilities {
  public:
    ConfigurationCapabilities() = delete;

    // filters and triggers: the product's capability arrays, taken over.
    // alarmOverlaySupported: the alarm overlay is enabled on this device.
    // Throws StatusException (STATUS_INTERNAL).
    static JsonAutoPtr create(JsonAutoPtr filters, JsonAutoPtr triggers,
                              const DataBoundaries& boundaries, const DefaultValues& defaults,
                              bool alarmOverlaySupported);
};
