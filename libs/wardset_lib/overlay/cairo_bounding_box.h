#pragma once

#include <cstdint>
#include <map>

#include "overlay/external_overlay_union.h"
#include "overlay/stream_settings.h"

class TrackingObject;

// A box around an object on the overlay, in overlay pixels (x not yet halved
// for the surface).
struct CairoBoundingBox {
    int16_t left = 0;
    int16_t top = 0;
    int16_t width = 0;
    int16_t height = 0;
};

// The boxes of one frame by object id, in id order.
class CairoBoundingBoxContainer {
  public:
    using Boxes = std::map<int, CairoBoundingBox>;

    // The box where the object is expected after `age` microseconds since its
    // frame: its centroid moved by its velocity (scene units per second).
    // An object already in the container keeps its box.
    void insert(const TrackingObject& object, const StreamSettings& settings, int64_t age,
                const ExternalOverlayUnion& overlayUnion);
    // The box of a scene rectangle of the given centre and size; replaces a
    // box of the same id.
    void insert(int id, int x, int y, int width, int height, const StreamSettings& settings,
                const ExternalOverlayUnion& overlayUnion);

    void clear() { m_boxes.clear(); }
    bool empty() const { return m_boxes.empty(); }
    Boxes::const_iterator begin() const { return m_boxes.begin(); }
    Boxes::const_iterator end() const { return m_boxes.end(); }

  private:
    Boxes m_boxes;
};
