#pragma once

#include <syslog.h>

#include <memory>
#include <mutex>
#include <stdexcept>

#include "overlay/alarm_overlay_message.h"

// The process-wide place of one lister: the lister while initialized and the
// callback its messages go to, under a recursive lock of its own. Messages
// are handed to the callback without this lock held: the callback takes the
// overlay lock, under which the overlay calls into the lister.
template <typename Lister>
class ListerRegistry {
  public:
    struct Texts {
        const char* nullCallback;  // logged at error level
        const char* buildFailure;  // a format with one %s, logged at warning level
    };

    explicit ListerRegistry(Texts texts) : m_texts(texts) {}

    // build() makes the lister, throwing std::runtime_error when it cannot.
    template <typename Build>
    bool initialize(AlarmOverlayMessageCallback callback, Build build) {
        Lock lock(m_mutex);
        if (callback == nullptr) {
            syslog(LOG_ERR, "%s", m_texts.nullCallback);
            return false;
        }
        if (m_lister) {
            syslog(LOG_ERR, "Initialize called on an already initaialized namespace\n");
            return false;
        }
        try {
            m_lister = build();
        } catch (const std::runtime_error& error) {
            syslog(LOG_WARNING, m_texts.buildFailure, error.what());
            return false;
        }
        m_callback = callback;
        return true;
    }

    void deinitialize() {
        Lock lock(m_mutex);
        m_lister.reset();
        m_callback = nullptr;
    }

    // Calls use(lister) under the lock; false when not initialized.
    template <typename Use>
    bool withLister(Use use) {
        Lock lock(m_mutex);
        if (!m_lister) {
            return false;
        }
        use(*m_lister);
        return true;
    }

    // Hands the message on when accept(lister) holds for the current lister.
    template <typename Accept>
    void deliver(const AlarmOverlayMessage& message, Accept accept) {
        AlarmOverlayMessageCallback callback = nullptr;
        {
            Lock lock(m_mutex);
            if (!m_lister || !accept(*m_lister)) {
                return;
            }
            callback = m_callback;
        }
        callback(message);
    }

  private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    const Texts m_texts;
    std::recursive_mutex m_mutex;
    std::unique_ptr<Lister> m_lister;
    AlarmOverlayMessageCallback m_callback = nullptr;
};
