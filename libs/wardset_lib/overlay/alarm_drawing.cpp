#include "overlay/alarm_drawing.h"

#include "guard/alarm_data_container.h"

namespace {

// Calls draw(polygon) for every polygon of the enabled profiles, in order;
// false when there is none.
template <typename Draw>
bool forEachPolygon(const AlarmDrawing& drawing, Draw draw) {
    bool any = false;
    for (const int profileId : drawing.profileIds) {
        for (auto it = drawing.alarms.beginPolygon(profileId);
             it != drawing.alarms.endPolygon(profileId); ++it) {
            draw(**it);
            any = true;
        }
    }
    return any;
}

}  // namespace

bool renderCairoData(CairoHandler& drawer, const AlarmDrawing& drawing) {
    const bool drewPolygon = forEachPolygon(drawing, [&](const Polygon& polygon) {
        drawer.drawPolygon(polygon, drawing.settings, drawing.overlayUnion);
    });
    for (const auto& idAndBox : drawing.boxes) {
        drawer.drawObject(idAndBox.second);
    }
    bool changed = true;
    if (!drewPolygon && drawing.boxes.empty()) {
        changed = !drawer.isSurfaceClear();
        if (changed) {
            drawer.clearSurface();
        }
    }
    drawer.flush();
    return changed;
}

void clearCairoSurface(CairoHandler& drawer, const AlarmDrawing& drawing) {
    forEachPolygon(drawing, [&](const Polygon& polygon) {
        drawer.erasePolygon(polygon, drawing.settings, drawing.overlayUnion);
    });
    for (const auto& idAndBox : drawing.boxes) {
        drawer.eraseObject(idAndBox.second);
    }
}
