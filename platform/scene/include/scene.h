#pragma once

// Decoding of scene frames: the objects the video analytics tracks in one
// analysed image, with their properties, and the frame's events.
//
// A frame travels as a NUL-terminated text. scene_copy_from_area decodes it
// into a scene handle; objects and events are walked with scene_next_*, and
// their properties are read with scene_get_*_prop, which return the number of
// values and point *out at them (valid until scene_delete). A property that
// the frame does not carry, or a bad argument, returns -1 with *out set to
// NULL.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct scene_st scene_st;
typedef struct scene_object_st scene_object_st;
typedef struct scene_event_st scene_event_st;

typedef enum {
    SCENE_PROP_TIMESTAMP = 0,     // scene: one uint64_t, nanoseconds
    SCENE_PROP_BOUNDING_BOX = 5,  // object: count points of two int16_t (x, y)
    SCENE_PROP_OUTLINE = 6,       // object: count points of two int16_t (x, y)
    SCENE_PROP_VELOCITY = 7,      // object: two int32_t (x, y), scene units per second
    SCENE_PROP_IDS = 9,           // event: count int, the first id list
    SCENE_PROP_SECOND_IDS = 10,   // event: count int, the second id list
    SCENE_PROP_CONFIDENCE = 15    // object: one int16_t, 4096 and above is confident
} scene_prop_e;

typedef enum {
    SCENE_ACTION_DELETE = 0,
    SCENE_ACTION_SPLIT = 1,
    SCENE_ACTION_MERGE = 2
} scene_action_e;

// Decodes a NUL-terminated frame. NULL when the text is not a valid frame.
// Never reads past the terminating NUL.
scene_st* scene_copy_from_area(const char* area);
void scene_delete(scene_st* scene);

int scene_get_prop(const scene_st* scene, scene_prop_e prop, const void** out);

// The object after prev (the first one for NULL); NULL at the end.
const scene_object_st* scene_next_object(const scene_st* scene, const scene_object_st* prev);
// The object's id; -1 for NULL.
int scene_get_object_id(const scene_object_st* object);
int scene_get_obj_prop(const scene_object_st* object, scene_prop_e prop, const void** out);

// The event after prev (the first one for NULL); NULL at the end.
const scene_event_st* scene_next_event(const scene_st* scene, const scene_event_st* prev);
// The event's action (scene_action_e, or another value a newer producer sent); -1 for NULL.
int scene_get_event_action(const scene_event_st* event);
int scene_get_evt_prop(const scene_event_st* event, scene_prop_e prop, const void** out);

#ifdef __cplusplus
}
#endif
