#pragma once

#include "base/api_version.h"
#include "config/default_values.h"
#include "config/json_auto_ptr.h"

// Builds the configuration document used when none is stored: one camera
// entry and one default profile per video channel. Products supply the
// filters and triggers of the default profile.
class DefaultConfigCreator {
  public:
    // addPerspective: every default profile gets an empty "perspective" array.
    explicit DefaultConfigCreator(bool addPerspective) : m_addPerspective(addPerspective) {}
    virtual ~DefaultConfigCreator() = default;

    // The document, or null (the failure is logged) when it cannot be built.
    JsonAutoPtr create(const DefaultValues& defaults, const API_Version& apiVersion) const;

  protected:
    // The default profile of camera index (from 1). Throws on failure.
    virtual JsonAutoPtr createProfile(const DefaultValues& defaults, int index) const;
    virtual JsonAutoPtr createTriggersArray(const DefaultValues& defaults) const = 0;
    virtual JsonAutoPtr createFiltersArray(const DefaultValues& defaults) const = 0;

  private:
    JsonAutoPtr createDocument(const DefaultValues& defaults, const API_Version& apiVersion) const;
    JsonAutoPtr createParams(const DefaultValues& defaults) const;

    bool m_addPerspective;
};
