#pragma once

#include <memory>

#include "tracking/tracking_object_external_data.h"

// A record that survives merges unchanged: the object merged into keeps its
// own values. Split parts get a copy of all values.
class TrackingObjectExternalDataNoMerge : public TrackingObjectExternalData {
  public:
    TrackingObjectExternalDataNoMerge() = default;

    std::unique_ptr<TrackingObjectExternalData> clone() const override;
    void merge(const TrackingObjectExternalData& other) override;
};
