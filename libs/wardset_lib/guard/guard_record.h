#pragma once

#include <memory>
#include <string>
#include <utility>

#include "tracking/tracking_object.h"

namespace guard {

// The object's record of type Record under key, or null when there is none.
template <typename Record>
const Record* findRecord(const TrackingObject& object, const std::string& key) {
    return dynamic_cast<const Record*>(object.getData(key));
}

// The object's record of type Record under key, created from args and stored
// when the object has none (a record of another type under the key is
// replaced).
template <typename Record, typename... Args>
Record& findOrCreateRecord(TrackingObject& object, const std::string& key, Args&&... args) {
    if (auto* stored = dynamic_cast<Record*>(object.getData(key))) {
        return *stored;
    }
    auto record = std::make_unique<Record>(std::forward<Args>(args)...);
    Record& created = *record;
    object.insertData(key, std::move(record));
    return created;
}

}  // namespace guard
