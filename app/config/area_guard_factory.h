#pragma once

#include <jansson.h>

#include "config/guard_factory.h"

// A guard factory for guards that watch one polygonal area: reads the
// profile's name and ids, perspective, filters, the loitering area trigger
// with its conditions, presets and the alarm overlay flag.
class AreaGuardFactory : public GuardFactory {
  protected:
    using GuardFactory::GuardFactory;

    // Reads the profile and validates it. The first failure is recorded in
    // the status and logged; reading stops there.
    virtual void parseJson(const json_t& profile);

  private:
    void parseProfileData(const json_t& profile);
    void parsePerspective(const json_t& profile);
    void parseFilters(const json_t& profile);
    void parseTriggers(const json_t& profile);
    void parseLoiteringArea(const json_t& trigger);
    void parseCondition(const json_t& condition, const LoiteringBoundaries& limits);
    void parsePresets(const json_t& profile);
    void parseAlarmOverlay(const json_t& profile);
};
