#include "scene/ptz_subscription.h"

#include <syslog.h>

namespace {

// Logs the error's message with the format and releases the error.
void logError(const char* format, GError* error) {
    syslog(LOG_ERR, format, error != nullptr ? error->message : "");
    g_clear_error(&error);
}

bool addTopic(ZKEventKeyValueSet* set, const char* key, const char* nameSpace, const char* value) {
    GError* error = nullptr;
    if (!zk_event_key_value_set_add_key_value(set, key, nameSpace, value,
                                              ZK_EVENT_VALUE_TYPE_STRING, &error)) {
        logError("Failed to add key to PTZ callback ValueSet, message: %s\n", error);
        return false;
    }
    return true;
}

}  // namespace

PTZ_Subscription::PTZ_Subscription(const char* topic0, const char* topic1,
                                   ZKEventSubscriptionCallback callback, void* userData) {
    ZKEventKeyValueSet* filter = createSubscriptionKeyValueSet(topic0, topic1);
    if (filter == nullptr) {
        return;
    }
    ZKEventHandler* handler = zk_event_handler_new();
    GError* error = nullptr;
    if (zk_event_handler_subscribe(handler, filter, callback, userData, &m_subscriptionId,
                                   &error)) {
        m_handler_p = handler;
    } else {
        logError("Failed to register PTZ callback, message: %s\n", error);
        zk_event_handler_free(handler);
    }
    zk_event_key_value_set_free(filter);
}

PTZ_Subscription::~PTZ_Subscription() {
    if (m_handler_p == nullptr) {
        return;
    }
    GError* error = nullptr;
    if (!zk_event_handler_unsubscribe(m_handler_p, m_subscriptionId, &error)) {
        logError("Failed to unregister the PTZ callback, message: %s\n", error);
    }
    zk_event_handler_free(m_handler_p);
}

ZKEventKeyValueSet* PTZ_Subscription::createSubscriptionKeyValueSet(const char* topic0,
                                                                    const char* topic1) {
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    if (!addTopic(set, "topic0", "tns1", topic0) || !addTopic(set, "topic1", "tnszelk", topic1)) {
        zk_event_key_value_set_free(set);
        return nullptr;
    }
    return set;
}
