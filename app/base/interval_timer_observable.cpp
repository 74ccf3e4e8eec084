#include "interval_timer_observable.h"

#include <syslog.h>

#include <algorithm>
#include <utility>

using Locker = std::lock_guard<std::recursive_mutex>;

std::recursive_mutex IntervalTimerObservable::s_lock;
bool IntervalTimerObservable::s_initialized = false;
int IntervalTimerObservable::s_period = 0;
GThread* IntervalTimerObservable::s_thread = nullptr;
IntervalTimerObservable::ObserverList IntervalTimerObservable::s_activeObservers;
IntervalTimerObservable::ObserverList IntervalTimerObservable::s_pendingRegistrations;
std::vector<int> IntervalTimerObservable::s_pendingRemovals;
int IntervalTimerObservable::s_nextId = 0;

void IntervalTimerObservable::initialize(int period) {
    Locker lock(s_lock);
    if (s_initialized) {
        syslog(LOG_WARNING, "Cannot initialize the IntervalTimerObservable twice\n");
        return;
    }
    s_period = period;
    s_initialized = true;
    s_thread = g_thread_new(nullptr, run, nullptr);
}

void IntervalTimerObservable::deinitialize() {
    {
        Locker lock(s_lock);
        if (!s_initialized) {
            syslog(LOG_WARNING,
                   "Cannot deinitialize the IntervalTimerObservable if it has not been "
                   "initialized\n");
            return;
        }
        s_initialized = false;
    }
    g_thread_join(s_thread);
    Locker lock(s_lock);
    s_thread = nullptr;
    s_activeObservers.clear();
    s_pendingRegistrations.clear();
    s_pendingRemovals.clear();
    s_nextId = 0;
}

int IntervalTimerObservable::registerObserver(IntervalTimerObserverData::Callback callback,
                                              int64_t interval) {
    Locker lock(s_lock);
    if (!s_initialized) {
        syslog(LOG_WARNING,
               "Cannot register an observer if the IntervalTimerObservable is not running\n");
        return -1;
    }
    const int id = s_nextId++;
    s_pendingRegistrations.push_back(
        std::make_unique<IntervalTimerObserverData>(id, interval, std::move(callback)));
    return id;
}

void IntervalTimerObservable::unregisterObserver(int id) {
    if (id == -1) {
        return;
    }
    Locker lock(s_lock);
    if (s_initialized) {
        s_pendingRemovals.push_back(id);
    }
}

gpointer IntervalTimerObservable::run(gpointer) {
    for (;;) {
        int period;
        {
            Locker lock(s_lock);
            if (!s_initialized) {
                break;
            }
            applyPendingChanges();
            period = s_period;
        }
        notifyDueObservers();
        g_usleep(static_cast<gulong>(period));
    }
    return nullptr;
}

void IntervalTimerObservable::applyPendingChanges() {
    const auto isRemoved = [](const std::unique_ptr<IntervalTimerObserverData>& observer) {
        return std::find(s_pendingRemovals.begin(), s_pendingRemovals.end(), observer->id()) !=
               s_pendingRemovals.end();
    };
    s_activeObservers.erase(
        std::remove_if(s_activeObservers.begin(), s_activeObservers.end(), isRemoved),
        s_activeObservers.end());
    s_pendingRemovals.clear();
    for (auto& observer : s_pendingRegistrations) {
        s_activeObservers.push_back(std::move(observer));
    }
    s_pendingRegistrations.clear();
    // Ids restart at 0 once every observer is gone; the id of a removed last
    // observer may be handed out again.
    s_nextId = s_activeObservers.empty() ? 0 : s_activeObservers.back()->id() + 1;
}

void IntervalTimerObservable::notifyDueObservers() {
    const int64_t now = g_get_monotonic_time();
    for (auto& observer : s_activeObservers) {
        if (now >= observer->nextNotificationTime()) {
            observer->notify();
        }
    }
}
