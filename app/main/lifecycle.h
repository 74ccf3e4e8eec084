#pragma once

#include <glib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

class CameraContainer;

// The life of the process. The main thread holds the lifecycle lock from
// just after daemonizing until the end of shutdown, except while it waits for
// termination. SIGTERM is taken by a thread of its own (sigwait) rather than
// by a signal handler, because taking a lock in signal context is unsafe;
// the effect is the same: running is cleared and the main thread woken once
// start-up is complete, and the process ends at once with status 1 when there
// is no camera container to shut down. The one exception is the wait for a
// scene transport, which may last for ever: a request that arrives then ends
// the wait, and start-up is undone instead of completed.
class Lifecycle {
  public:
    Lifecycle() = delete;

    static void lock();
    static void unlock();

    // Blocks SIGTERM in the calling thread and every thread it starts later,
    // and starts the thread that waits for it. Call before any other thread
    // is started. Returns false (errno set) when it cannot be set up.
    static bool installTerminationHandler();

    // With the lock held: waits until a termination request cleared running.
    static void waitForTermination();

    // With the lock held: the container that shutdown takes down (not owned).
    static void setCameraContainer(CameraContainer* container);

    // A termination request has arrived (safe without the lock).
    static bool isTerminationRequested();

    // With the lock held: start-up ended early on a termination request and
    // the process exits with status 0 once the lock is released; requests
    // still queued are then consumed without ending the process otherwise.
    static void abandonStartup();

  private:
    static gpointer waitForSignals(gpointer);
    static void handleTermination();

    static std::mutex s_mutex;
    static std::condition_variable s_wakeUp;
    static bool s_running;
    static bool s_startupAbandoned;
    static std::atomic<bool> s_terminationRequested;
    static CameraContainer* s_cameraContainer_p;
};
