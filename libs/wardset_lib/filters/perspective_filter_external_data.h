#pragma once

#include <memory>

#include "tracking/tracking_object_external_data.h"

// The per-object record of the perspective size filter: the largest
// real-world height and width seen, both 0 at first. Merged objects keep the
// larger of each.
class PerspectiveFilterExternalData : public TrackingObjectExternalData {
  public:
    static const char* const kMaxRealWorldHeight;
    static const char* const kMaxRealWorldWidth;

    PerspectiveFilterExternalData();

    std::unique_ptr<TrackingObjectExternalData> clone() const override;
    void merge(const TrackingObjectExternalData& other) override;
};
