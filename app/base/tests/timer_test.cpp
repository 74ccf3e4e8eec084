#include "base/timer.h"

#include <gtest/gtest.h>

#include "base/thread.h"

namespace {

TEST(Timer, ReachedEndOnlyWhileRunningAndStrictlyAfterTheDuration) {
    Timer timer(100);
    EXPECT_FALSE(timer.reachedEnd(1000));
    timer.start(1000);
    EXPECT_FALSE(timer.reachedEnd(1100));
    EXPECT_TRUE(timer.reachedEnd(1101));
    timer.stop();
    EXPECT_FALSE(timer.reachedEnd(5000));
}

TEST(Timer, StartKeepsARunningStartWhileRestartMovesIt) {
    Timer timer(100);
    timer.start(0);
    timer.start(50);
    EXPECT_TRUE(timer.reachedEnd(101));
    timer.restart(50);
    EXPECT_FALSE(timer.reachedEnd(101));
    EXPECT_TRUE(timer.reachedEnd(151));
}

TEST(Timer, SixtyFourBitTimesDoNotOverflow) {
    const int64_t hour = int64_t{3600} * 1000000;
    Timer timer(24 * hour);
    const int64_t start = int64_t{1} << 40;
    timer.start(start);
    EXPECT_FALSE(timer.reachedEnd(start + 24 * hour));
    EXPECT_TRUE(timer.reachedEnd(start + 24 * hour + 1));
}

class CountingThread : public Thread {
  public:
    static void* run(void* self) {
        auto* thread = static_cast<CountingThread*>(self);
        g_atomic_int_inc(&thread->starts);
        while (thread->isRunning()) {
            g_usleep(1000);
        }
        return nullptr;
    }
    gint starts = 0;
};

TEST(Thread, StartingTwiceStartsOneThreadAndStopEndsIt) {
    CountingThread thread;
    thread.start(CountingThread::run, &thread);
    thread.start(CountingThread::run, &thread);
    g_usleep(20000);
    thread.stop();
    thread.join();
    EXPECT_EQ(g_atomic_int_get(&thread.starts), 1);
    thread.join();  // joining again is harmless
}

}  // namespace
