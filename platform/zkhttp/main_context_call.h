#pragma once

#include <functional>

namespace camlet {

// Runs work on the thread that dispatches the default GLib main context and
// returns once it has run. Runs it at once when the calling thread is that
// thread, or when no thread is dispatching the context.
void callOnMainContext(const std::function<void()>& work);

}  // namespace camlet
