#include "thread.h"

Thread::~Thread() {
    if (m_thread != nullptr) {
        g_thread_unref(m_thread);
    }
}

void Thread::start(void* (*fn)(void*), void* arg) {
    if (m_running.exchange(true)) {
        return;
    }
    if (m_thread != nullptr) {
        g_thread_unref(m_thread);
    }
    m_thread = g_thread_new(nullptr, fn, arg);
}

void Thread::join() {
    if (m_thread != nullptr) {
        g_thread_join(m_thread);
        m_thread = nullptr;
    }
}

void Thread::stop() {
    m_running = false;
}
