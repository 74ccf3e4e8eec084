#include "filters/perspective_filter_external_data.h"

#include <algorithm>
#include <cstdint>

const char* const PerspectiveFilterExternalData::kMaxRealWorldHeight = "maxRealWorldHeight";
const char* const PerspectiveFilterExternalData::kMaxRealWorldWidth = "maxRealWorldWidth";

PerspectiveFilterExternalData::PerspectiveFilterExternalData() {
    insert(kMaxRealWorldHeight, int32_t{0});
    insert(kMaxRealWorldWidth, int32_t{0});
}

std::unique_ptr<TrackingObjectExternalData> PerspectiveFilterExternalData::clone() const {
    return std::make_unique<PerspectiveFilterExternalData>(*this);
}

void PerspectiveFilterExternalData::merge(const TrackingObjectExternalData& other) {
    for (const char* key : {kMaxRealWorldHeight, kMaxRealWorldWidth}) {
        insert(key, std::max(getInt(key), other.getInt(key)));
    }
}
