#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "tracking/tracking_object.h"

// The live tracked objects of one camera by id. Bounded: when full, the
// fifth of the objects seen least recently is deleted before a new one is
// added.
class ObjectStorage {
  public:
    explicit ObjectStorage(uint32_t capacity);

    // Adds and owns object under id. Returns false, and destroys object,
    // when it is null or id is already stored (the stored object stays).
    bool insert(int32_t id, std::unique_ptr<TrackingObject> object);
    // The stored object, or null; it stays owned by the storage.
    TrackingObject* getObject(int32_t id) const;
    bool contains(int32_t id) const;
    std::size_t getSize() const { return m_objects.size(); }
    // Takes the object out and hands it over; null when absent.
    std::unique_ptr<TrackingObject> remove(int32_t id);
    // Deletes the object; absent ids are ignored.
    void deleteObj(int32_t id);
    void deleteAll();

  private:
    // Deletes the count objects with the oldest last-seen times.
    void deleteOldElements(std::size_t count);

    std::map<int32_t, std::unique_ptr<TrackingObject>> m_objects;
    uint32_t m_capacity;
    uint32_t m_evictCount;
};
