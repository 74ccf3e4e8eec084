#pragma once

#include <glib.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "interval_timer_observer_data.h"

// The process-wide interval timer: one thread that wakes every period and
// notifies each observer whose interval has passed. Registrations and
// removals take effect at the start of the next cycle, removals first;
// callbacks run on the timer thread outside the lock, so they may register
// and unregister observers, themselves included.
class IntervalTimerObservable {
  public:
    IntervalTimerObservable() = delete;

    static void initialize(int period);
    static void deinitialize();

    // Returns the new observer's id, or -1 when the service is not running.
    static int registerObserver(IntervalTimerObserverData::Callback callback, int64_t interval);
    // Ignores -1, unknown ids and calls made while the service is not running.
    static void unregisterObserver(int id);

  private:
    using ObserverList = std::vector<std::unique_ptr<IntervalTimerObserverData>>;

    static gpointer run(gpointer);
    static void applyPendingChanges();
    static void notifyDueObservers();

    static std::recursive_mutex s_lock;
    static bool s_initialized;
    static int s_period;
    static GThread* s_thread;
    static ObserverList s_activeObservers;  // touched by the timer thread only
    static ObserverList s_pendingRegistrations;
    static std::vector<int> s_pendingRemovals;
    static int s_nextId;
};
