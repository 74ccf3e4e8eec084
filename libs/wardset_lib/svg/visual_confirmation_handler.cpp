#include "svg/visual_confirmation_handler.h"

#include <glib.h>
#include <syslog.h>

#include "base/sdk_wrapper.h"
#include "svg/svg_doc.h"

namespace {

const char* const kDataKey = "svgframe";
constexpr int kDeclarationFlags = SDK_EVENT_QUIET_FIRST_SEND_FAILURES | SDK_EVENT_APPLICATION_DATA;

}  // namespace

VisualConfirmationHandler::VisualConfirmationHandler(const std::string& eventName, int64_t window)
    : m_eventName(eventName), m_window(window) {}

VisualConfirmationHandler::~VisualConfirmationHandler() {
    const Lock lock(m_mutex);
    disableLocked();
}

bool VisualConfirmationHandler::enable() {
    const Lock lock(m_mutex);
    m_window.restart(g_get_monotonic_time());
    m_emptyCount = 0;
    if (m_enabled) {
        return true;
    }
    const char* name = m_eventName.c_str();
    if (sdk_wrapper_event_add(name, name, name, kDeclarationFlags, kDataKey) != 1) {
        syslog(LOG_WARNING, "FAILED to create event %s \n", name);
        return false;
    }
    m_enabled = true;
    return true;
}

void VisualConfirmationHandler::disable() {
    const Lock lock(m_mutex);
    disableLocked();
}

void VisualConfirmationHandler::disableLocked() {
    if (!m_enabled) {
        return;
    }
    send("", g_get_monotonic_time());
    sdk_wrapper_event_remove(m_eventName.c_str());
    m_enabled = false;
    m_emptyCount = 0;
}

bool VisualConfirmationHandler::isEnabled() const {
    const Lock lock(m_mutex);
    return m_enabled;
}

bool VisualConfirmationHandler::isAllowedToSend(int64_t time) const {
    const Lock lock(m_mutex);
    return isAllowedToSendLocked(time);
}

bool VisualConfirmationHandler::isAllowedToSend() const {
    return isAllowedToSend(g_get_monotonic_time());
}

bool VisualConfirmationHandler::isAllowedToSendLocked(int64_t time) const {
    return m_enabled && !m_window.reachedEnd(time);
}

bool VisualConfirmationHandler::sendEvent(const SvgDoc& doc, int64_t time) {
    const Lock lock(m_mutex);
    if (!isAllowedToSendLocked(time)) {
        // One final empty text clears the viewer.
        return sendEmpty("", time);
    }
    if (doc.isEmpty()) {
        return sendEmpty(SvgDoc::kEmptyDocument, time);
    }
    if (!send(doc.toString().c_str(), time)) {
        return false;
    }
    m_emptyCount = 0;
    return true;
}

void VisualConfirmationHandler::clearScreen() {
    const Lock lock(m_mutex);
    if (!m_enabled) {
        return;
    }
    if (m_emptyCount <= 0) {
        send(SvgDoc::kEmptyDocument, g_get_monotonic_time());
    }
    m_emptyCount = 0;
}

bool VisualConfirmationHandler::wasLastEventEmpty() const {
    const Lock lock(m_mutex);
    return m_emptyCount > 0;
}

bool VisualConfirmationHandler::send(const char* text, int64_t time) {
    return sdk_wrapper_event_send(m_eventName.c_str(), 0, text, &time) == 1;
}

// The first of a run of empty texts is sent; it counts as sent even when
// refused, so that a viewer that is gone is not asked again every frame.
bool VisualConfirmationHandler::sendEmpty(const char* text, int64_t time) {
    if (m_emptyCount > 0) {
        return false;
    }
    ++m_emptyCount;
    return send(text, time);
}
