#include "glib_mainloop.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(MainLoop, DispatchesDefaultContextSourcesOnItsOwnThread) {
    ASSERT_TRUE(mainloop_start("test", "Test", "Vendor"));
    ASSERT_TRUE(mainloop_start("test", "Test", "Vendor"));  // second start is harmless

    struct Seen {
        GMutex mutex;
        GCond cond;
        GThread* thread = nullptr;
        bool done = false;
    } seen;
    g_mutex_init(&seen.mutex);
    g_cond_init(&seen.cond);
    g_idle_add(
        [](gpointer data) -> gboolean {
            auto* s = static_cast<Seen*>(data);
            g_mutex_lock(&s->mutex);
            s->thread = g_thread_self();
            s->done = true;
            g_cond_signal(&s->cond);
            g_mutex_unlock(&s->mutex);
            return G_SOURCE_REMOVE;
        },
        &seen);

    g_mutex_lock(&seen.mutex);
    const gint64 deadline = g_get_monotonic_time() + 5 * G_TIME_SPAN_SECOND;
    while (!seen.done && g_cond_wait_until(&seen.cond, &seen.mutex, deadline)) {
    }
    const bool done = seen.done;
    GThread* thread = seen.thread;
    g_mutex_unlock(&seen.mutex);

    ASSERT_TRUE(done);
    EXPECT_NE(thread, g_thread_self());
    g_cond_clear(&seen.cond);
    g_mutex_clear(&seen.mutex);
}

}  // namespace
