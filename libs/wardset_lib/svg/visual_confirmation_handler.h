#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "base/timer.h"

class SvgDoc;

// Publishes a guard's frame pictures as a data event (key "svgframe") for a
// limited time after each start. Runs of empty pictures are sent once; when
// the time is up, or the handler is disabled, one final empty text clears
// the viewer. Times are microseconds of the monotonic clock.
//
// Thread safety: all operations may be called from any thread.
class VisualConfirmationHandler {
  public:
    VisualConfirmationHandler(const std::string& eventName, int64_t window);
    ~VisualConfirmationHandler();
    VisualConfirmationHandler(const VisualConfirmationHandler&) = delete;
    VisualConfirmationHandler& operator=(const VisualConfirmationHandler&) = delete;

    // Starts the time window anew; declares the event unless enabled
    // already. False when the declaration fails (the handler stays disabled).
    bool enable();
    // Sends the clearing empty text and removes the event.
    void disable();

    bool isEnabled() const;
    // Enabled, and the window has not run out at time.
    bool isAllowedToSend(int64_t time) const;
    bool isAllowedToSend() const;

    // Sends the document stamped time, subject to the rules above; true when
    // an event was sent successfully. A refused non-empty document is tried
    // again with the next frame.
    bool sendEvent(const SvgDoc& doc, int64_t time);
    // Sends the empty picture now unless the last one sent was empty; the
    // next empty frame is then sent again.
    void clearScreen();
    bool wasLastEventEmpty() const;

  private:
    using Lock = std::lock_guard<std::mutex>;

    bool isAllowedToSendLocked(int64_t time) const;
    bool send(const char* text, int64_t time);
    bool sendEmpty(const char* text, int64_t time);
    void disableLocked();

    const std::string m_eventName;
    mutable std::mutex m_mutex;
    bool m_enabled = false;
    Timer m_window;
    int m_emptyCount = 0;  // empty texts sent since the last non-empty picture
};
