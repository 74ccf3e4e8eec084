#pragma once

#include "base/api_version_handler.h"
#include "config/data_boundaries.h"
#include "config/default_values.h"

// The process-wide configuration tables of this product, built on first use
// and kept until the process ends. Nothing changes them.
class Application {
  public:
    Application() = delete;

    static const DataBoundaries& getDataBoundaries();
    static const DefaultValues& getDefaultValues();
    // The versions of the configuration API: "1.0" to "1.4".
    static const API_VersionHandler& getApiVersionHandler();
};
