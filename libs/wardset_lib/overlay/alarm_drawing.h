#pragma once

#include <vector>

#include "overlay/cairo_bounding_box.h"
#include "overlay/cairo_handler.h"
#include "overlay/external_overlay_union.h"
#include "overlay/stream_settings.h"

class AlarmDataContainer;

// What the alarm overlay shows for one frame: the polygons that the alarm
// data of the profiles with the overlay enabled carry, and the boxes around
// the objects in alarm.
struct AlarmDrawing {
    const AlarmDataContainer& alarms;
    const std::vector<int>& profileIds;  // in configuration order
    const CairoBoundingBoxContainer& boxes;
    const StreamSettings& settings;
    const ExternalOverlayUnion& overlayUnion;
};

// Draws the frame and flushes; true when the surface content changed. A
// frame with nothing to draw clears a surface that still shows an earlier
// drawing (a change) and leaves a clear one alone (no change).
bool renderCairoData(CairoHandler& drawer, const AlarmDrawing& drawing);
// Erases what renderCairoData drew for the same frame, once its bytes have
// been handed on, so the next frame starts from a transparent surface.
void clearCairoSurface(CairoHandler& drawer, const AlarmDrawing& drawing);
