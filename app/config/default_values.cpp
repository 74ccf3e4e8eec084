#include "default_values.h"

#include <utility>

DefaultValues::DefaultValues(std::unique_ptr<SizePercentageFilterDefaults> sizePercentage,
                             std::unique_ptr<SwayingFilterDefaults> swaying,
                             std::unique_ptr<ExcludeAreaDefaults> excludeArea,
                             std::unique_ptr<PTZ_Defaults> ptz,
                             std::unique_ptr<SupportedCapabilitiesDefaults> capabilities,
                             std::unique_ptr<LoiteringDefaults> loitering)
    : m_sizePercentage(std::move(sizePercentage)),
      m_swaying(std::move(swaying)),
      m_excludeArea(std::move(excludeArea)),
      m_ptz(std::move(ptz)),
      m_capabilities(std::move(capabilities)),
      m_loitering(std::move(loitering)) {}
