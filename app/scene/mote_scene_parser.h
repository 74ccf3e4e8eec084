#pragma once

#include <cstdint>
#include <vector>

#include "scene/mote_scene.h"
#include "tracking/parsed_scene.h"
#include "tracking/object_storage.h"
#include "tracking/tracking_object_merger.h"

// Keeps one camera's tracked objects between frames and applies each frame
// to them: creates and updates objects, applies merges, splits and deletions.
class MoteSceneParser : public TrackingObjectMerger {
  public:
    static constexpr uint32_t kStorageCapacity = 500;

    MoteSceneParser(int rotation, float aspectRatio);

    // The frame's active objects stay in the storage; its deleted ones move
    // to the returned scene.
    ParsedScene parse(const MoteScene& scene);
    // A new rotation deletes every stored object: tracking starts afresh.
    void updateCameraRotation(int rotation);
    void mergeTrackingObject(TrackingObject& target,
                             const std::vector<const TrackingObject*>& sources,
                             bool targetIsSource) override;

    ObjectStorage& getStorage() { return m_storage; }

  private:
    void createOrUpdate(const MoteObject& mote);
    void applyMerge(const MoteMergeData& merge);
    void applySplit(const MoteSplitData& split);
    // The stored objects of the ids, in order; absent ids are left out.
    std::vector<TrackingObject*> storedObjects(const std::vector<int>& ids) const;

    ObjectStorage m_storage;
    int m_rotation;
    float m_aspectRatio;
};
