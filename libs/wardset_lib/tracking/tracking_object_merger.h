#pragma once

#include <vector>

#include "tracking/tracking_object.h"

// Receives the scene's merge events: sources became target. targetIsSource
// is true when the target's id is itself one of the sources' ids.
class TrackingObjectMerger {
  public:
    virtual ~TrackingObjectMerger() = default;
    virtual void mergeTrackingObject(TrackingObject& target,
                                     const std::vector<const TrackingObject*>& sources,
                                     bool targetIsSource) = 0;
};
