#pragma once

#include <glib.h>

#include <functional>

namespace camlet::testing {

// Polls done() every pollUs microseconds until it holds; false when the
// time-out passed first.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs, gulong pollUs = 10000) {
    const gint64 deadline = g_get_monotonic_time() + gint64{timeoutMs} * 1000;
    while (!done()) {
        if (g_get_monotonic_time() > deadline) {
            return false;
        }
        g_usleep(pollUs);
    }
    return true;
}

}  // namespace camlet::testing
