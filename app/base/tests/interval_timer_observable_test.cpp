#include "base/interval_timer_observable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

#include "wait_until.h"

namespace {

constexpr int kPeriodUs = 10000;

// Runs the timer service for the duration of one test.
class IntervalTimerTest : public ::testing::Test {
  protected:
    void SetUp() override { IntervalTimerObservable::initialize(kPeriodUs); }
    void TearDown() override { IntervalTimerObservable::deinitialize(); }

    static void waitCycles(int cycles) { g_usleep(static_cast<gulong>(cycles * kPeriodUs)); }

    // Waits until the condition holds, at most two seconds.
    static bool eventually(const std::function<bool()>& condition) {
        return camlet::testing::waitUntil(condition, 2000, 1000);
    }
};

TEST_F(IntervalTimerTest, IntervalZeroIsNotifiedEveryCycleWithItsId) {
    std::atomic<int> calls{0};
    std::atomic<int> seenId{-2};
    const int id = IntervalTimerObservable::registerObserver(
        [&](int observer) {
            seenId = observer;
            ++calls;
        },
        0);
    EXPECT_EQ(id, 0);
    ASSERT_TRUE(eventually([&] { return calls >= 10; }));
    EXPECT_EQ(seenId, id);
}

TEST_F(IntervalTimerTest, LongIntervalsAreNotNotifiedEarly) {
    std::atomic<int> calls{0};
    IntervalTimerObservable::registerObserver([&](int) { ++calls; }, 10 * G_USEC_PER_SEC);
    waitCycles(10);
    EXPECT_EQ(calls, 0);
}

TEST_F(IntervalTimerTest, IdsRestartAtZeroOnceAllObserversAreGone) {
    const int first = IntervalTimerObservable::registerObserver([](int) {}, 0);
    const int second = IntervalTimerObservable::registerObserver([](int) {}, 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    waitCycles(3);
    IntervalTimerObservable::unregisterObserver(first);
    IntervalTimerObservable::unregisterObserver(second);
    waitCycles(3);
    EXPECT_EQ(IntervalTimerObservable::registerObserver([](int) {}, 0), 0);
}

TEST_F(IntervalTimerTest, UnregisteringMinusOneOrAnUnknownIdChangesNothing) {
    std::atomic<int> calls{0};
    const int id = IntervalTimerObservable::registerObserver([&](int) { ++calls; }, 0);
    IntervalTimerObservable::unregisterObserver(-1);
    IntervalTimerObservable::unregisterObserver(id + 5);
    waitCycles(3);
    const int before = calls;
    ASSERT_TRUE(eventually([&] { return calls > before + 3; }));
}

TEST_F(IntervalTimerTest, RemovalBeforeAdditionInOneCycleKeepsTheNewObserver) {
    std::atomic<int> newCalls{0};
    std::atomic<int> newId{-1};
    std::atomic<bool> done{false};
    // Register and unregister from a callback, so that both requests are
    // taken up by the same following cycle.
    IntervalTimerObservable::registerObserver(
        [&](int self) {
            if (!done.exchange(true)) {
                newId = IntervalTimerObservable::registerObserver([&](int) { ++newCalls; }, 0);
                IntervalTimerObservable::unregisterObserver(newId);
                IntervalTimerObservable::unregisterObserver(self);
            }
        },
        0);
    ASSERT_TRUE(eventually([&] { return newCalls >= 5; }));
}

TEST_F(IntervalTimerTest, CallbackThatUnregistersItselfIsNotifiedOnce) {
    std::atomic<int> calls{0};
    IntervalTimerObservable::registerObserver(
        [&](int self) {
            ++calls;
            IntervalTimerObservable::unregisterObserver(self);
        },
        0);
    ASSERT_TRUE(eventually([&] { return calls > 0; }));
    waitCycles(10);
    EXPECT_EQ(calls, 1);
}

TEST(IntervalTimerNotRunning, RegistrationFailsAndMisuseIsHarmless) {
    EXPECT_EQ(IntervalTimerObservable::registerObserver([](int) {}, 0), -1);
    IntervalTimerObservable::unregisterObserver(0);
    IntervalTimerObservable::deinitialize();

    IntervalTimerObservable::initialize(kPeriodUs);
    IntervalTimerObservable::initialize(kPeriodUs);  // second initialization is refused
    std::atomic<int> calls{0};
    IntervalTimerObservable::registerObserver([&](int) { ++calls; }, 0);
    ASSERT_TRUE(camlet::testing::waitUntil([&] { return calls > 0; }, 2000));
    IntervalTimerObservable::deinitialize();
    const int afterStop = calls;
    g_usleep(30000);
    EXPECT_EQ(calls, afterStop);  // nothing runs once the service is down
}

}  // namespace
