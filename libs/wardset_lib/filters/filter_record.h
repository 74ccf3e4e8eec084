#pragma once

#include <memory>
#include <string>
#include <utility>

#include "tracking/tracking_object.h"
#include "tracking/tracking_object_external_data.h"

namespace filters {

// The filter's record on the object, created by makeRecord() and stored under
// key when the object has none yet.
template <typename MakeRecord>
TrackingObjectExternalData& findOrCreateRecord(TrackingObject& object, const std::string& key,
                                               MakeRecord makeRecord) {
    if (TrackingObjectExternalData* record = object.getData(key)) {
        return *record;
    }
    std::unique_ptr<TrackingObjectExternalData> record = makeRecord();
    TrackingObjectExternalData& stored = *record;
    object.insertData(key, std::move(record));
    return stored;
}

}  // namespace filters
