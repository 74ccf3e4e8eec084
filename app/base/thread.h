#pragma once

#include <glib.h>

#include <atomic>

// Base of the program's worker threads. A subclass runs a loop that checks
// isRunning() and ends when stop() has cleared it.
class Thread {
  public:
    Thread() = default;
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts fn(arg) on a new thread, unless one was started and not stopped.
    void start(void* (*fn)(void*), void* arg);
    // Waits for the thread, if there is one, and forgets it.
    void join();
    // Asks the thread to end; it notices at its next check.
    virtual void stop();

    bool isRunning() const { return m_running.load(); }

  private:
    GThread* m_thread = nullptr;
    std::atomic<bool> m_running{false};
};
