#include "application.h"

#include <memory>

namespace {

DataBoundaries createDataBoundaries() {
    return DataBoundaries(
        std::make_unique<SizePercentageFilterBoundaries>(
            SizePercentageFilterBoundaries{100, 3, 100, 3}),
        std::make_unique<PTZ_Boundaries>(PTZ_Boundaries{1}),
        std::make_unique<ProfileBoundaries>(ProfileBoundaries{15, 1, {10, 10, 3}, 0}),
        std::make_unique<SwayingFilterBoundaries>(SwayingFilterBoundaries{20, 3}),
        std::make_unique<ExcludeAreaBoundaries>(ExcludeAreaBoundaries{3, 0, 10, 3}),
        std::make_unique<LoiteringBoundaries>(
            LoiteringBoundaries{1, 1, 360, 1, 360, 1, 4, 2, 10, 3}));
}

DefaultValues createDefaultValues() {
    return DefaultValues(
        std::make_unique<SizePercentageFilterDefaults>(SizePercentageFilterDefaults{5, 5, true}),
        std::make_unique<SwayingFilterDefaults>(SwayingFilterDefaults{5, true}),
        std::make_unique<ExcludeAreaDefaults>(ExcludeAreaDefaults{-0.2f, 0.2f, -0.2f, 0.2f}),
        std::make_unique<PTZ_Defaults>(PTZ_Defaults{-2}),
        std::make_unique<SupportedCapabilitiesDefaults>(SupportedCapabilitiesDefaults{false}),
        std::make_unique<LoiteringDefaults>(
            LoiteringDefaults{120, true, 160, false, -0.97f, 0.97f, -0.97f, 0.97f}));
}

constexpr const char* const kApiVersions[] = {"1.0", "1.1", "1.2", "1.3", "1.4"};

}  // namespace

const DataBoundaries& Application::getDataBoundaries() {
    static const DataBoundaries boundaries = createDataBoundaries();
    return boundaries;
}

const DefaultValues& Application::getDefaultValues() {
    static const DefaultValues defaults = createDefaultValues();
    return defaults;
}

const API_VersionHandler& Application::getApiVersionHandler() {
    static const API_VersionHandler versions(kApiVersions, 5);
    return versions;
}
