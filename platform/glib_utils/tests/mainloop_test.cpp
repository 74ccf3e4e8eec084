#include "glib_mainloop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct Seen {
    std::mutex mutex;
    std::condition_variable cond;
    std::thread::id thread;
    bool done = false;

    static gboolean record(gpointer data) {
        auto* seen = static_cast<Seen*>(data);
        std::lock_guard<std::mutex> lock(seen->mutex);
        seen->thread = std::this_thread::get_id();
        seen->done = true;
        seen->cond.notify_all();
        return G_SOURCE_REMOVE;
    }
};

TEST(MainLoop, DispatchesDefaultContextSourcesOnItsOwnThread) {
    ASSERT_TRUE(mainloop_start("test", "Test", "Vendor"));
    ASSERT_TRUE(mainloop_start("test", "Test", "Vendor"));  // second start is harmless

    Seen seen;
    g_idle_add(Seen::record, &seen);
    std::unique_lock<std::mutex> lock(seen.mutex);
    ASSERT_TRUE(seen.cond.wait_for(lock, std::chrono::seconds(5), [&] { return seen.done; }));
    EXPECT_NE(seen.thread, std::this_thread::get_id());
}

}  // namespace
