#pragma once

#include "overlay/cairo_bounding_box.h"
#include "overlay/cairo_wrapper.h"
#include "overlay/external_overlay_union.h"
#include "overlay/stream_settings.h"

class Polygon;

// The drawing surface of the alarm overlay. The overlay has 4 bits per pixel
// (palette indexes); the surface has one byte per pair of overlay pixels, so
// it is half as wide and every x is halved when drawn. Drawing writes equal
// index pairs: 0x44 (palette index 4) for outlines, 0x55 (index 5, fully
// transparent) where nothing is drawn.
//
// The surface covers the rotated stream in whole macro blocks, less the
// bands of other overlays. Settings without a size, or bands that leave no
// rows, give a handler without surface that draws nothing.
class CairoHandler {
  public:
    CairoHandler(const StreamSettings& settings, const ExternalOverlayUnion& overlayUnion);
    ~CairoHandler();
    CairoHandler(const CairoHandler&) = delete;
    CairoHandler& operator=(const CairoHandler&) = delete;

    // Outlines with line width 2.
    void drawObject(const CairoBoundingBox& box);
    void drawPolygon(const Polygon& polygon, const StreamSettings& settings,
                     const ExternalOverlayUnion& overlayUnion);
    // Draw the same outlines again, transparent and with line width 4, so
    // nothing of them is left.
    void eraseObject(const CairoBoundingBox& box);
    void erasePolygon(const Polygon& polygon, const StreamSettings& settings,
                      const ExternalOverlayUnion& overlayUnion);
    // Makes the whole surface transparent.
    void clearSurface();
    // Makes the drawing visible in the surface's bytes.
    void flush();

    // True until something is drawn after the surface was last cleared
    // whole; erasing does not count as clearing.
    bool isSurfaceClear() const { return m_surfaceClear; }

    // The surface's bytes, getWidth() × getHeight() of them row after row
    // (rows have no padding: the width is a multiple of 8); null without a
    // surface.
    const unsigned char* getData() const { return m_data_p; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

  private:
    void strokeRectangle(const CairoBoundingBox& box, double value, double lineWidth);
    void strokePolygon(const Polygon& polygon, const StreamSettings& settings,
                       const ExternalOverlayUnion& overlayUnion, double value, double lineWidth);
    void setPen(double value, double lineWidth);

    int m_width;
    int m_height;
    cairo_surface_t* m_surface_p = nullptr;  // owned
    cairo_t* m_context_p = nullptr;          // owned
    unsigned char* m_data_p = nullptr;       // owned by the surface
    bool m_surfaceClear = true;
};
