#include "tracking/object_storage.h"

#include <algorithm>
#include <utility>
#include <vector>

// A fifth of the capacity; at least one, so that a small store keeps its bound too.
ObjectStorage::ObjectStorage(uint32_t capacity)
    : m_capacity(capacity), m_evictCount(std::max<uint32_t>(capacity / 5, 1)) {}

bool ObjectStorage::insert(int32_t id, std::unique_ptr<TrackingObject> object) {
    if (!object || contains(id)) {
        return false;
    }
    if (m_objects.size() >= m_capacity) {
        deleteOldElements(m_evictCount);
    }
    m_objects.emplace(id, std::move(object));
    return true;
}

TrackingObject* ObjectStorage::getObject(int32_t id) const {
    const auto found = m_objects.find(id);
    return found != m_objects.end() ? found->second.get() : nullptr;
}

bool ObjectStorage::contains(int32_t id) const {
    return m_objects.count(id) != 0;
}

std::unique_ptr<TrackingObject> ObjectStorage::remove(int32_t id) {
    const auto found = m_objects.find(id);
    if (found == m_objects.end()) {
        return nullptr;
    }
    std::unique_ptr<TrackingObject> object = std::move(found->second);
    m_objects.erase(found);
    return object;
}

void ObjectStorage::deleteObj(int32_t id) {
    m_objects.erase(id);
}

void ObjectStorage::deleteAll() {
    m_objects.clear();
}

void ObjectStorage::deleteOldElements(std::size_t count) {
    struct Seen {
        int64_t lastSeen;
        int32_t id;
    };
    std::vector<Seen> bySeen;
    bySeen.reserve(m_objects.size());
    for (const auto& [id, object] : m_objects) {
        bySeen.push_back({object->getLastSeen(), id});
    }
    const auto isSeenBefore = [](const Seen& a, const Seen& b) { return a.lastSeen < b.lastSeen; };
    const std::size_t doomed = std::min(count, bySeen.size());
    std::partial_sort(bySeen.begin(), bySeen.begin() + static_cast<std::ptrdiff_t>(doomed),
                      bySeen.end(), isSeenBefore);
    for (std::size_t i = 0; i < doomed; ++i) {
        m_objects.erase(bySeen[i].id);
    }
}
