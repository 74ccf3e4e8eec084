#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tracking/mote_object.h"

// A merge event: the objects of ids merge into id.
struct MoteMergeData {
    int id;
    std::vector<int> ids;
};

// A split event: id splits into the objects of ids.
struct MoteSplitData {
    int id;
    std::vector<int> ids;
};

// One decoded scene frame: its time, its objects and its events. Lives for
// one frame.
class MoteScene {
  public:
    // Decodes the frame (which stays the caller's) with the contents of the
    // capability mask. A frame that cannot be decoded gives time 0, no objects
    // and no events.
    MoteScene(const char* frame, int mask);

    // Microseconds; 0 when the frame carries no time.
    int64_t getTimestamp() const { return m_timestamp; }
    const std::vector<std::unique_ptr<MoteObject>>& getObjects() const { return m_objects; }
    const std::vector<int>& getDeletedIds() const { return m_deletedIds; }
    const std::vector<std::unique_ptr<MoteMergeData>>& getMerges() const { return m_merges; }
    const std::vector<std::unique_ptr<MoteSplitData>>& getSplits() const { return m_splits; }

  private:
    int64_t m_timestamp = 0;
    std::vector<std::unique_ptr<MoteObject>> m_objects;
    std::vector<int> m_deletedIds;
    std::vector<std::unique_ptr<MoteMergeData>> m_merges;
    std::vector<std::unique_ptr<MoteSplitData>> m_splits;
};
