#pragma once

#include <gio/gio.h>

#include <optional>
#include <vector>

#include "overlay/alarm_overlay_message.h"

// The graphics service's video streams, followed process-wide: once
// initialized, every stream that appears or goes is reported to the callback
// on the thread of the default main context.
namespace ListStreams {

// False (logged) with a null callback, when already initialized or when the
// service cannot be reached.
bool initialize(AlarmOverlayMessageCallback callback);
void deinitialize();
// Empty (logged) when not initialized or when the service cannot be asked.
std::vector<StreamProperties> getCurrentStreams();

// The stream of a stream object's a{sv} properties; none (logged) when one
// is missing or the resolution is not W "x" H.
std::optional<StreamProperties> toStreamProperties(GVariant* properties);

}  // namespace ListStreams
