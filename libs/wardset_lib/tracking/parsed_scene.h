#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tracking/tracking_object.h"

// The result of parsing one scene frame: its time, the objects present in
// it and the objects that ended in it.
class ParsedScene {
  public:
    // ownsActive: whether the active objects are deleted with this scene
    // (the parser's scenes leave them to the storage).
    ParsedScene(int64_t timestamp, bool ownsActive);
    ~ParsedScene();
    ParsedScene(ParsedScene&& other) noexcept;
    ParsedScene& operator=(ParsedScene&& other) = delete;
    ParsedScene(const ParsedScene&) = delete;
    ParsedScene& operator=(const ParsedScene&) = delete;

    // Both ignore null.
    void insertActiveObject(TrackingObject* object);
    // Takes ownership.
    void insertDeletedObject(TrackingObject* object);

    int64_t getTimestamp() const { return m_timestamp; }
    // In frame order.
    const std::vector<TrackingObject*>& getActiveObjects() const { return m_active; }
    const std::vector<std::unique_ptr<TrackingObject>>& getDeletedObjects() const {
        return m_deleted;
    }

  private:
    int64_t m_timestamp;
    bool m_ownsActive;
    std::vector<TrackingObject*> m_active;
    std::vector<std::unique_ptr<TrackingObject>> m_deleted;
};
