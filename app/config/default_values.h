#pragma once

#include <memory>

// What a new configuration contains: the defaults of the default document
// and of the capabilities document.

struct SizePercentageFilterDefaults {
    int first;
    int second;
    bool active;
};

struct SwayingFilterDefaults {
    int value;
    bool active;
};

// A rectangle in view coordinates (-1 to 1).
struct ExcludeAreaDefaults {
    float minX;
    float maxX;
    float minY;
    float maxY;
};

struct PTZ_Defaults {
    int defaultPreset;
};

struct SupportedCapabilitiesDefaults {
    bool motionLevelSupported;
};

// Condition times in seconds; the area is a rectangle in view coordinates.
struct LoiteringDefaults {
    int individualSeconds;
    bool individualActive;
    int groupSeconds;
    bool groupActive;
    float minX;
    float maxX;
    float minY;
    float maxY;
};

// Owns one record per kind; a kind the product does not support is null.
class DefaultValues {
  public:
    DefaultValues(std::unique_ptr<SizePercentageFilterDefaults> sizePercentage,
                  std::unique_ptr<SwayingFilterDefaults> swaying,
                  std::unique_ptr<ExcludeAreaDefaults> excludeArea,
                  std::unique_ptr<PTZ_Defaults> ptz,
                  std::unique_ptr<SupportedCapabilitiesDefaults> capabilities,
                  std::unique_ptr<LoiteringDefaults> loitering);

    const SizePercentageFilterDefaults* getSizePercentage() const { return m_sizePercentage.get(); }
    const SwayingFilterDefaults* getSwaying() const { return m_swaying.get(); }
    const ExcludeAreaDefaults* getExcludeArea() const { return m_excludeArea.get(); }
    const PTZ_Defaults* getPTZ() const { return m_ptz.get(); }
    const SupportedCapabilitiesDefaults* getSupportedCapabilities() const {
        return m_capabilities.get();
    }
    const LoiteringDefaults* getLoitering() const { return m_loitering.get(); }

  private:
    std::unique_ptr<SizePercentageFilterDefaults> m_sizePercentage;
    std::unique_ptr<SwayingFilterDefaults> m_swaying;
    std::unique_ptr<ExcludeAreaDefaults> m_excludeArea;
    std::unique_ptr<PTZ_Defaults> m_ptz;
    std::unique_ptr<SupportedCapabilitiesDefaults> m_capabilities;
    std::unique_ptr<LoiteringDefaults> m_loitering;
};
