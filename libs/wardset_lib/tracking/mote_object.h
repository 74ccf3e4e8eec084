#pragma once

#include <cstdint>
#include <memory>

#include <scene.h>

#include "geometry/polygon.h"

// Velocity as the scene library reports it, x then y.
struct MoteVelocity {
    int32_t x = 0;
    int32_t y = 0;
};

// One object of a scene frame, as far as tracking reads it: id, frame time,
// outline and box, velocity and confidence.
class MoteObject {
  public:
    MoteObject(int id, int64_t timestamp, MoteVelocity velocity, std::unique_ptr<Polygon> polygon,
               std::unique_ptr<Polygon> boundingBox, bool confident);
    // Reads an object of a decoded scene frame, with the contents of the
    // capability mask (1 bounding box, 2 outline, 4 velocity, 8 confidence).
    MoteObject(const scene_object_st* object, int64_t timestamp, int mask);

    // The outline or box property of the object as a polygon; a missing or
    // degenerate point list gives the polygon constructor's small valid polygon.
    static std::shared_ptr<const Polygon> createPolygon(const scene_object_st* object,
                                                        scene_prop_e prop);
    // Sets velocity when the object reports exactly two values.
    static bool getVelocity(const scene_object_st* object, MoteVelocity& velocity);

    int getId() const { return m_id; }
    // Monotonic time of the frame in microseconds.
    int64_t getTimestamp() const { return m_timestamp; }
    const MoteVelocity& getVelocity() const { return m_velocity; }
    // May be null: the scene service reports outlines and boxes on request.
    const Polygon* getPolygon() const { return m_polygon_p.get(); }
    const Polygon* getBoundingBox() const { return m_boundingBox_p.get(); }
    bool isConfident() const { return m_confident; }

    // The polygon, or the bounding box when there is no polygon; null when
    // there is neither.
    const Polygon* getOutline() const;
    // The same, shared: the tracked object keeps the outline of its latest
    // frame without copying it (outlines never change).
    std::shared_ptr<const Polygon> shareOutline() const;
    // Extent of the outline's bounding box; 0 without an outline.
    int32_t getWidth() const;
    int32_t getHeight() const;

  private:
    int m_id;
    int64_t m_timestamp;
    MoteVelocity m_velocity;
    std::shared_ptr<const Polygon> m_polygon_p;
    std::shared_ptr<const Polygon> m_boundingBox_p;
    bool m_confident;
};
