#pragma once

#include "config/data_boundaries.h"
#include "config/default_values.h"
#include "config/json_auto_ptr.h"

// The product's part of the capabilities document: which filters and
// triggers a profile may have, with their limits and defaults. Each throws
// StatusException (STATUS_INTERNAL).
class DW_Capabilities {
  public:
    DW_Capabilities() = delete;

    // The size percentage filter, the swaying filter and exclude areas.
    static JsonAutoPtr createDefaultFilters(const DataBoundaries& boundaries,
                                            const DefaultValues& defaults);
    // The loitering area with its individual and group conditions.
    static JsonAutoPtr createDefaultTriggers(const DataBoundaries& boundaries,
                                             const DefaultValues& defaults);
};
