// Feeds arbitrary bytes to the scene frame decoder and reads back everything
// it claims to hold.

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene.h"

namespace {

// Reads every byte of a property, so that the sanitizers see a bad count.
template <typename Get, typename Item, typename Prop>
void touch(Get get, const Item* item, Prop prop, size_t itemSize) {
    const void* values = nullptr;
    const int count = get(item, prop, &values);
    const auto* bytes = static_cast<const volatile unsigned char*>(values);
    unsigned char sum = 0;
    for (size_t i = 0; count > 0 && i < static_cast<size_t>(count) * itemSize; ++i) {
        sum = static_cast<unsigned char>(sum + bytes[i]);
    }
    (void)sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Frames travel as NUL-terminated texts.
    const std::string text(reinterpret_cast<const char*>(data), size);
    scene_st* scene = scene_copy_from_area(text.c_str());
    if (scene == nullptr) {
        return 0;
    }
    touch(scene_get_prop, scene, SCENE_PROP_TIMESTAMP, 8);
    for (auto* o = scene_next_object(scene, nullptr); o; o = scene_next_object(scene, o)) {
        (void)scene_get_object_id(o);
        touch(scene_get_obj_prop, o, SCENE_PROP_BOUNDING_BOX, 4);
        touch(scene_get_obj_prop, o, SCENE_PROP_OUTLINE, 4);
        touch(scene_get_obj_prop, o, SCENE_PROP_VELOCITY, 4);
        touch(scene_get_obj_prop, o, SCENE_PROP_CONFIDENCE, 2);
    }
    for (auto* e = scene_next_event(scene, nullptr); e; e = scene_next_event(scene, e)) {
        (void)scene_get_event_action(e);
        touch(scene_get_evt_prop, e, SCENE_PROP_IDS, sizeof(int));
        touch(scene_get_evt_prop, e, SCENE_PROP_SECOND_IDS, sizeof(int));
    }
    scene_delete(scene);
    return 0;
}
