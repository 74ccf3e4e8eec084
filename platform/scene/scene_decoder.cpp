// Decoding of scene frames into scene handles (see README.md for the layout).

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "cobs.h"
#include "frame_format.h"
#include "scene.h"

struct ScenePoint {
    int16_t x;
    int16_t y;
};

struct scene_object_st {
    int32_t id = -1;
    uint8_t fields = 0;
    std::vector<ScenePoint> boundingBox;
    std::vector<ScenePoint> outline;
    int32_t velocity[2] = {0, 0};
    int16_t confidence = 0;
};

struct scene_event_st {
    int action = 0;
    std::vector<int> ids;
    std::vector<int> secondIds;
};

struct scene_st {
    bool hasTimestamp = false;
    uint64_t timestampNs = 0;
    std::vector<scene_object_st> objects;
    std::vector<scene_event_st> events;
};

namespace {

using scene::ByteReader;
namespace format = scene::format;

// Reads a count and checks that the rest of the frame can hold that many
// items of itemSize bytes, so that a forged count never causes a big allocation.
bool readCount(ByteReader& reader, size_t itemSize, uint16_t& count) {
    return reader.readU16(count) && static_cast<size_t>(count) * itemSize <= reader.remaining();
}

bool readPoints(ByteReader& reader, std::vector<ScenePoint>& points) {
    uint16_t count = 0;
    if (!readCount(reader, 4, count)) {
        return false;
    }
    points.resize(count);
    for (ScenePoint& point : points) {
        if (!reader.readI16(point.x) || !reader.readI16(point.y)) {
            return false;
        }
    }
    return true;
}

bool readIds(ByteReader& reader, std::vector<int>& ids) {
    uint16_t count = 0;
    if (!readCount(reader, 4, count)) {
        return false;
    }
    ids.resize(count);
    for (int& id : ids) {
        int32_t value = 0;
        if (!reader.readI32(value)) {
            return false;
        }
        id = value;
    }
    return true;
}

bool readObject(ByteReader& reader, scene_object_st& object) {
    if (!reader.readI32(object.id) || !reader.readU8(object.fields) ||
        (object.fields & ~format::kKnownObjectFields) != 0) {
        return false;
    }
    const uint8_t fields = object.fields;
    return (!(fields & format::kHasBoundingBox) || readPoints(reader, object.boundingBox)) &&
           (!(fields & format::kHasOutline) || readPoints(reader, object.outline)) &&
           (!(fields & format::kHasVelocity) ||
            (reader.readI32(object.velocity[0]) && reader.readI32(object.velocity[1]))) &&
           (!(fields & format::kHasConfidence) || reader.readI16(object.confidence));
}

bool readEvent(ByteReader& reader, scene_event_st& event) {
    uint8_t action = 0;
    if (!reader.readU8(action)) {
        return false;
    }
    event.action = action;
    return readIds(reader, event.ids) && readIds(reader, event.secondIds);
}

bool readHeader(ByteReader& reader, scene_st& scene) {
    uint8_t magic0 = 0, magic1 = 0, version = 0, flags = 0;
    if (!reader.readU8(magic0) || !reader.readU8(magic1) || !reader.readU8(version) ||
        !reader.readU8(flags)) {
        return false;
    }
    if (magic0 != format::kMagic0 || magic1 != format::kMagic1 || version != format::kVersion ||
        (flags & ~format::kHasTimestamp) != 0) {
        return false;
    }
    scene.hasTimestamp = (flags & format::kHasTimestamp) != 0;
    return !scene.hasTimestamp || reader.readU64(scene.timestampNs);
}

bool readScene(ByteReader& reader, scene_st& scene) {
    // The smallest object is an id and a field byte; the smallest event an
    // action and two empty lists.
    constexpr size_t kMinObjectSize = 5;
    constexpr size_t kMinEventSize = 5;
    uint16_t count = 0;
    if (!readHeader(reader, scene) || !readCount(reader, kMinObjectSize, count)) {
        return false;
    }
    scene.objects.resize(count);
    for (scene_object_st& object : scene.objects) {
        if (!readObject(reader, object)) {
            return false;
        }
    }
    if (!readCount(reader, kMinEventSize, count)) {
        return false;
    }
    scene.events.resize(count);
    for (scene_event_st& event : scene.events) {
        if (!readEvent(reader, event)) {
            return false;
        }
    }
    return reader.remaining() == 0;
}

template <typename T>
int fail(T** out) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return -1;
}

template <typename Item>
int giveValues(const Item* values, size_t count, const void** out) {
    *out = values;
    return static_cast<int>(count);
}

// The item after prev in items, the first for NULL, NULL at the end or when
// prev is not one of the items.
template <typename Item>
const Item* nextItem(const std::vector<Item>& items, const Item* prev) {
    if (items.empty()) {
        return nullptr;
    }
    if (prev == nullptr) {
        return &items.front();
    }
    const Item* first = items.data();
    const Item* last = first + items.size() - 1;
    if (prev < first || prev >= last) {
        return nullptr;
    }
    return prev + 1;
}

}  // namespace

extern "C" {

scene_st* scene_copy_from_area(const char* area) {
    if (area == nullptr) {
        return nullptr;
    }
    const std::optional<std::string> bytes = scene::cobs::decode(area);
    if (!bytes) {
        return nullptr;
    }
    try {
        auto scene = std::make_unique<scene_st>();
        ByteReader reader(*bytes);
        return readScene(reader, *scene) ? scene.release() : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void scene_delete(scene_st* scene) {
    delete scene;
}

int scene_get_prop(const scene_st* scene, scene_prop_e prop, const void** out) {
    if (scene == nullptr || out == nullptr || prop != SCENE_PROP_TIMESTAMP ||
        !scene->hasTimestamp) {
        return fail(out);
    }
    return giveValues(&scene->timestampNs, 1, out);
}

const scene_object_st* scene_next_object(const scene_st* scene, const scene_object_st* prev) {
    return scene == nullptr ? nullptr : nextItem(scene->objects, prev);
}

int scene_get_object_id(const scene_object_st* object) {
    return object == nullptr ? -1 : object->id;
}

int scene_get_obj_prop(const scene_object_st* object, scene_prop_e prop, const void** out) {
    if (object == nullptr || out == nullptr) {
        return fail(out);
    }
    const uint8_t fields = object->fields;
    switch (prop) {
        case SCENE_PROP_BOUNDING_BOX:
            if (fields & scene::format::kHasBoundingBox) {
                return giveValues(object->boundingBox.data(), object->boundingBox.size(), out);
            }
            break;
        case SCENE_PROP_OUTLINE:
            if (fields & scene::format::kHasOutline) {
                return giveValues(object->outline.data(), object->outline.size(), out);
            }
            break;
        case SCENE_PROP_VELOCITY:
            if (fields & scene::format::kHasVelocity) {
                return giveValues(object->velocity, 2, out);
            }
            break;
        case SCENE_PROP_CONFIDENCE:
            if (fields & scene::format::kHasConfidence) {
                return giveValues(&object->confidence, 1, out);
            }
            break;
        default:
            break;
    }
    return fail(out);
}

const scene_event_st* scene_next_event(const scene_st* scene, const scene_event_st* prev) {
    return scene == nullptr ? nullptr : nextItem(scene->events, prev);
}

int scene_get_event_action(const scene_event_st* event) {
    return event == nullptr ? -1 : event->action;
}

int scene_get_evt_prop(const scene_event_st* event, scene_prop_e prop, const void** out) {
    if (event == nullptr || out == nullptr) {
        return fail(out);
    }
    if (prop == SCENE_PROP_IDS) {
        return giveValues(event->ids.data(), event->ids.size(), out);
    }
    if (prop == SCENE_PROP_SECOND_IDS) {
        return giveValues(event->secondIds.data(), event->secondIds.size(), out);
    }
    return fail(out);
}

}  // extern "C"
