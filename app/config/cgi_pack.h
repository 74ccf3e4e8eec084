#pragma once

#include <jansson.h>

#include <string>

#include "config/data_boundaries.h"
#include "config/default_values.h"
#include "config/json_auto_ptr.h"

// Builders of the JSON fragments of the default document and of the
// capabilities document. Each throws StatusException (STATUS_INTERNAL) when a
// record it needs is absent or a JSON value cannot be made.
class CGI_Pack {
  public:
    CGI_Pack() = delete;

    static JsonAutoPtr object(const std::string& message);
    static JsonAutoPtr array(const std::string& message);
    // Move the value into the object / array.
    static void insertInObject(json_t* object, JsonAutoPtr value, const char* key,
                               const std::string& message);
    static void appendToArray(json_t* array, JsonAutoPtr value, const std::string& message);
    // json_pack with the format and arguments.
    static JsonAutoPtr pack(const std::string& message, const char* format, ...);

    // Entries of a default document.
    static JsonAutoPtr sizePercentageFilter(const DefaultValues& defaults);
    static JsonAutoPtr swayingFilter(const DefaultValues& defaults);
    // The loitering area trigger without its conditions.
    static JsonAutoPtr loiteringArea(const DefaultValues& defaults);
    static JsonAutoPtr individualCondition(const DefaultValues& defaults);
    static JsonAutoPtr groupCondition(const DefaultValues& defaults);

    // Entries of the capabilities document.
    static JsonAutoPtr sizePercentageFilter(const DataBoundaries& boundaries,
                                            const DefaultValues& defaults);
    static JsonAutoPtr swayingFilter(const DataBoundaries& boundaries,
                                     const DefaultValues& defaults);
    static JsonAutoPtr excludeArea(const DataBoundaries& boundaries, const DefaultValues& defaults);
    // The loitering area trigger without its conditions.
    static JsonAutoPtr loiteringArea(const DataBoundaries& boundaries,
                                     const DefaultValues& defaults);
    static JsonAutoPtr individualCondition(const DataBoundaries& boundaries,
                                           const DefaultValues& defaults);
    static JsonAutoPtr groupCondition(const DataBoundaries& boundaries,
                                      const DefaultValues& defaults);
    static JsonAutoPtr profiles(const DataBoundaries& boundaries);
    // isSupported tells whether the alarm overlay is enabled on this device.
    static JsonAutoPtr alarmOverlay(bool isSupported);
    static JsonAutoPtr motionLevel(const DefaultValues& defaults);
    static JsonAutoPtr presets(const DataBoundaries& boundaries, const DefaultValues& defaults);
};
