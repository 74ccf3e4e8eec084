#include "glib_mainloop.h"

#include <condition_variable>
#include <mutex>

namespace {

// The loop thread. Waiting uses standard mutexes rather than GLib's, so that
// ThreadSanitizer sees the hand-over between the threads.
class MainLoopThread {
public:
    bool start(const char* threadName) {
        std::lock_guard<std::mutex> lock(m_startMutex);
        if (m_loop != nullptr) {
            return true;
        }
        m_loop = g_main_loop_new(nullptr, FALSE);
        // The loop is announced as running from an idle callback, so that
        // the caller returns only once callbacks are being dispatched.
        g_idle_add(announceRunning, this);
        g_thread_unref(g_thread_new(threadName, runLoop, m_loop));
        std::unique_lock<std::mutex> ready(m_readyMutex);
        m_readyCondition.wait(ready, [this] { return m_running; });
        return true;
    }

private:
    static gboolean announceRunning(gpointer data) {
        auto* self = static_cast<MainLoopThread*>(data);
        std::lock_guard<std::mutex> lock(self->m_readyMutex);
        self->m_running = true;
        self->m_readyCondition.notify_all();
        return G_SOURCE_REMOVE;
    }

    static gpointer runLoop(gpointer data) {
        g_main_loop_run(static_cast<GMainLoop*>(data));
        return nullptr;
    }

    std::mutex m_startMutex;
    GMainLoop* m_loop = nullptr;
    std::mutex m_readyMutex;
    std::condition_variable m_readyCondition;
    bool m_running = false;
};

MainLoopThread& mainLoopThread() {
    static MainLoopThread instance;
    return instance;
}

}  // namespace

gboolean mainloop_start(const char* app_name, const char* display_name, const char* vendor) {
    (void)display_name;
    (void)vendor;
    return mainLoopThread().start(app_name != nullptr ? app_name : "mainloop") ? TRUE : FALSE;
}
