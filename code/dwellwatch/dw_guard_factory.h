#pragma once

#include <jansson.h>

#include <memory>

#include "config/area_guard_factory.h"
#include "filters/swaying_filter.h"

// Builds the product's guard for one profile: a loitering area with exclude
// areas, size and swaying filters, and either the individual or the group
// condition.
class DW_GuardFactory : public AreaGuardFactory {
  public:
    // Reads the profile at once; getStatus() tells the outcome.
    DW_GuardFactory(const json_t& profile, int rotation, const DataBoundaries& boundaries);

    // A DwellwatchGuard with the exclude areas, copies of the filters and a
    // lifetime filter of 3 s; null when there is no trigger area.
    std::unique_ptr<Guard> createGuard() const override;

  protected:
    void validateConfiguration() override;
    void createOneExclusionFilter(const json_t& filter) override;

  private:
    void createSizePercentageFilter(const json_t& filter);
    void createSizePerspectiveFilter(const json_t& filter);
    void createSwayingFilter(const json_t& filter);
    void createExcludeArea(const json_t& filter);

    // Handed to the guard by itself, not in the filter list.
    std::unique_ptr<SwayingFilter> m_swayingFilter;
};
