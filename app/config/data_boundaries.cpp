#include "data_boundaries.h"

#include <utility>

#include "base/camera_info.h"
#include "base/status_exception.h"

DataBoundaries::DataBoundaries(std::unique_ptr<SizePercentageFilterBoundaries> sizePercentage,
                               std::unique_ptr<PTZ_Boundaries> ptz,
                               std::unique_ptr<ProfileBoundaries> profile,
                               std::unique_ptr<SwayingFilterBoundaries> swaying,
                               std::unique_ptr<ExcludeAreaBoundaries> excludeArea,
                               std::unique_ptr<LoiteringBoundaries> loitering)
    : m_sizePercentage(std::move(sizePercentage)),
      m_ptz(std::move(ptz)),
      m_profile(std::move(profile)),
      m_swaying(std::move(swaying)),
      m_excludeArea(std::move(excludeArea)),
      m_loitering(std::move(loitering)) {}

int DataBoundaries::getMaxNbrProfilesPerCamera() const {
    if (!m_profile) {
        throw StatusException("Missing boundary values for the profile", STATUS_INTERNAL);
    }
    const NumberOfProfilesBoundaries& limits = m_profile->maxNbrProfilesPerCamera;
    if (CameraInfo::isMultiCamera()) {
        return limits.multiCamera;
    }
    return CameraInfo::isMechanicalPTZ() ? limits.mechanicalPTZ : limits.general;
}
