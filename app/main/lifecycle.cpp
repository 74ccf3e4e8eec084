#include "main/lifecycle.h"

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

std::mutex Lifecycle::s_mutex;
std::condition_variable Lifecycle::s_wakeUp;
bool Lifecycle::s_running = true;
bool Lifecycle::s_startupAbandoned = false;
std::atomic<bool> Lifecycle::s_terminationRequested{false};
CameraContainer* Lifecycle::s_cameraContainer_p = nullptr;

namespace {

sigset_t terminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

void Lifecycle::lock() {
    s_mutex.lock();
}

void Lifecycle::unlock() {
    s_mutex.unlock();
}

bool Lifecycle::installTerminationHandler() {
    const sigset_t signals = terminationSignals();
    const int result = pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    if (result != 0) {
        errno = result;
        return false;
    }
    GError* error = nullptr;
    GThread* thread = g_thread_try_new("sigterm", waitForSignals, nullptr, &error);
    if (thread == nullptr) {
        g_error_free(error);
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        errno = EAGAIN;
        return false;
    }
    g_thread_unref(thread);
    return true;
}

void Lifecycle::waitForTermination() {
    // The lock is held by this thread already; adopt it for the wait and
    // keep holding it afterwards.
    std::unique_lock<std::mutex> lock(s_mutex, std::adopt_lock);
    s_wakeUp.wait(lock, [] { return !s_running; });
    lock.release();
}

void Lifecycle::setCameraContainer(CameraContainer* container) {
    s_cameraContainer_p = container;
}

bool Lifecycle::isTerminationRequested() {
    return s_terminationRequested;
}

void Lifecycle::abandonStartup() {
    s_startupAbandoned = true;
}

gpointer Lifecycle::waitForSignals(gpointer) {
    const sigset_t signals = terminationSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) == 0 && signal == SIGTERM) {
            handleTermination();
        }
    }
    return nullptr;
}

void Lifecycle::handleTermination() {
    s_terminationRequested = true;
    lock();
    if (s_startupAbandoned) {
        unlock();  // main is on its way out with status 0
        return;
    }
    if (s_cameraContainer_p == nullptr) {
        // Nothing to shut down (not started yet, or already taken down). The
        // other threads are still running, so no exit handlers are run.
        _exit(EXIT_FAILURE);
    }
    s_running = false;
    s_wakeUp.notify_one();
    unlock();
}
