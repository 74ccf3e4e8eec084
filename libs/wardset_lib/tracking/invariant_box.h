#pragma once

#include <cstdint>
#include <memory>

#include "geometry/point.h"
#include "geometry/polygon.h"
#include "geometry/rectangle.h"

// An object's extent, made comparable across camera rotations: width and
// height in scene units as measured, read back as seen in the viewed
// (rotated) image. Divisions by 2 and 4 below truncate toward zero.
class InvariantBox {
  public:
    // Rotation in degrees, one of 0, 90, 180, 270; any other value is logged
    // and kept.
    InvariantBox(int32_t width, int32_t height, int32_t rotation, float aspectRatio);

    // The extents as seen in the viewed image: swapped unless the rotation
    // is 0 or 180.
    int32_t getWidth() const;
    int32_t getHeight() const;
    // The viewed width in units comparable with the viewed height.
    int32_t getAspectCorrectedWidth() const;
    int32_t getAspectCorrectedHeight() const;

    int32_t getRotation() const { return m_rotation; }
    float getAspectRatio() const { return m_aspectRatio; }

    // For the box centred at centre, in the viewed image: the coordinate of
    // the bottom edge, the quarter of the box at the bottom, and the lower
    // left corner. Rotations other than 90, 180 and 270 count as 0.
    int32_t getFootPositionValue(Point centre) const;
    Rectangle getFootRectangle(Point centre) const;
    std::unique_ptr<Polygon> getFootBox(Point centre) const;
    Point getViewedLowerLeft(Point centre) const;

    void update(int32_t width, int32_t height);
    // Takes the larger extents of both boxes; boxes of different rotation or
    // aspect ratio are not comparable and are left alone (logged).
    void merge(const InvariantBox& other);

  private:
    bool isSideways() const;

    int32_t m_width;
    int32_t m_height;
    int32_t m_rotation;
    float m_aspectRatio;
};
