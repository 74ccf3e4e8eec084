#include "glib_mainloop.h"

#include <mutex>

namespace {

struct MainLoopThread {
    std::mutex mutex;
    GMainLoop* loop = nullptr;

    bool start(const char* threadName) {
        std::lock_guard<std::mutex> lock(mutex);
        if (loop != nullptr) {
            return true;
        }
        loop = g_main_loop_new(nullptr, FALSE);
        // The loop is announced as running from an idle callback, so that the
        // caller returns only once callbacks are being dispatched.
        GMutex readyMutex;
        GCond ready;
        bool running = false;
        g_mutex_init(&readyMutex);
        g_cond_init(&ready);
        struct Start {
            GMutex* mutex;
            GCond* cond;
            bool* running;
        } start{&readyMutex, &ready, &running};
        g_idle_add(
            [](gpointer data) -> gboolean {
                auto* s = static_cast<Start*>(data);
                g_mutex_lock(s->mutex);
                *s->running = true;
                g_cond_signal(s->cond);
                g_mutex_unlock(s->mutex);
                return G_SOURCE_REMOVE;
            },
            &start);
        GThread* thread = g_thread_new(threadName, runLoop, loop);
        g_thread_unref(thread);
        g_mutex_lock(&readyMutex);
        while (!running) {
            g_cond_wait(&ready, &readyMutex);
        }
        g_mutex_unlock(&readyMutex);
        g_cond_clear(&ready);
        g_mutex_clear(&readyMutex);
        return true;
    }

    static gpointer runLoop(gpointer data) {
        auto* mainLoop = static_cast<GMainLoop*>(data);
        g_main_context_push_thread_default(nullptr);
        g_main_loop_run(mainLoop);
        return nullptr;
    }
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
