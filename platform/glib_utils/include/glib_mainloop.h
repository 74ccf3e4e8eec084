#pragma once

#include <glib.h>

G_BEGIN_DECLS

// Starts the process's GLib main loop, on the default main context, on a
// thread of its own and returns once the loop is running. A second call while
// the loop runs does nothing. The three names identify the application to the
// platform. Returns TRUE when the loop runs.
gboolean mainloop_start(const char* app_name, const char* display_name, const char* vendor);

G_END_DECLS
