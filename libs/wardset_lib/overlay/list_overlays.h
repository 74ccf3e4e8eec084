#pragma once

#include <gio/gio.h>

#include <optional>
#include <vector>

#include "overlay/alarm_overlay_message.h"

// The overlays of the overlay service, ours and other applications', followed
// process-wide: once initialized, every overlay that appears, goes or moves
// is reported to the callback on the thread of the default main context.
namespace ListOverlays {

// False (logged) with a null callback, when already initialized or when the
// service cannot be reached.
bool initialize(AlarmOverlayMessageCallback callback);
void deinitialize();
// Empty (logged) when not initialized or when the service cannot be asked.
std::vector<ExternalOverlay> getCurrentOverlays();

// The overlay of an overlay object's a{sv} properties; none (logged) when a
// mandatory one is missing or its placement cannot be read.
std::optional<ExternalOverlay> toExternalOverlay(GVariant* properties);

}  // namespace ListOverlays
