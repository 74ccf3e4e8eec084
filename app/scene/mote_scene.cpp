#include "scene/mote_scene.h"

#include <scene.h>

namespace {

using SceneHandle = std::unique_ptr<scene_st, decltype(&scene_delete)>;

constexpr int64_t kNanosecondsPerMicrosecond = 1000;

int64_t frameTime(const scene_st* scene) {
    const void* value = nullptr;
    if (scene_get_prop(scene, SCENE_PROP_TIMESTAMP, &value) != 1 || value == nullptr) {
        return 0;
    }
    return static_cast<int64_t>(*static_cast<const uint64_t*>(value) /
                                static_cast<uint64_t>(kNanosecondsPerMicrosecond));
}

std::vector<int> idList(const scene_event_st* event, scene_prop_e prop) {
    const void* values = nullptr;
    const int count = scene_get_evt_prop(event, prop, &values);
    if (count <= 0 || values == nullptr) {
        return {};
    }
    const int* ids = static_cast<const int*>(values);
    return std::vector<int>(ids, ids + count);
}

// A split or merge: the first id of list 9 leads, list 10 follows; ignored
// when either list is empty.
template <typename Data>
std::unique_ptr<Data> leadAndFollowers(const scene_event_st* event) {
    const std::vector<int> leading = idList(event, SCENE_PROP_IDS);
    std::vector<int> followers = idList(event, SCENE_PROP_SECOND_IDS);
    if (leading.empty() || followers.empty()) {
        return nullptr;
    }
    return std::make_unique<Data>(Data{leading.front(), std::move(followers)});
}

}  // namespace

MoteScene::MoteScene(const char* frame, int mask) {
    const SceneHandle scene(frame != nullptr ? scene_copy_from_area(frame) : nullptr,
                            &scene_delete);
    if (!scene) {
        return;
    }
    m_timestamp = frameTime(scene.get());
    for (const scene_object_st* object = scene_next_object(scene.get(), nullptr); object != nullptr;
         object = scene_next_object(scene.get(), object)) {
        m_objects.push_back(std::make_unique<MoteObject>(object, m_timestamp, mask));
    }
    for (const scene_event_st* event = scene_next_event(scene.get(), nullptr); event != nullptr;
         event = scene_next_event(scene.get(), event)) {
        switch (scene_get_event_action(event)) {
            case SCENE_ACTION_DELETE: {
                const std::vector<int> ids = idList(event, SCENE_PROP_IDS);
                m_deletedIds.insert(m_deletedIds.end(), ids.begin(), ids.end());
                break;
            }
            case SCENE_ACTION_SPLIT:
                if (auto split = leadAndFollowers<MoteSplitData>(event)) {
                    m_splits.push_back(std::move(split));
                }
                break;
            case SCENE_ACTION_MERGE:
                if (auto merge = leadAndFollowers<MoteMergeData>(event)) {
                    m_merges.push_back(std::move(merge));
                }
                break;
            default:
                break;
        }
    }
}
