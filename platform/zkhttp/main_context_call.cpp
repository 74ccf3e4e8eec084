#include "main_context_call.h"

#include <glib.h>

#include <condition_variable>
#include <mutex>

namespace camlet {

namespace {

// One call handed to the main context. The hand-over uses standard mutexes, so
// that ThreadSanitizer sees it.
struct PendingCall {
    const std::function<void()>& work;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    static gboolean run(gpointer data) {
        auto* call = static_cast<PendingCall*>(data);
        call->work();
        std::lock_guard<std::mutex> lock(call->mutex);
        call->done = true;
        call->finished.notify_all();
        return G_SOURCE_REMOVE;
    }
};

}  // namespace

void callOnMainContext(const std::function<void()>& work) {
    PendingCall call{work, {}, {}, false};
    g_main_context_invoke(nullptr, PendingCall::run, &call);
    std::unique_lock<std::mutex> lock(call.mutex);
    call.finished.wait(lock, [&call] { return call.done; });
}

}  // namespace camlet
