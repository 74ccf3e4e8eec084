#pragma once

#include "zk_event.h"

// One subscription to PTZ events of the platform event system, active from
// construction to destruction. The callback runs on the main-loop thread
// with the user data; it owns the event it receives.
class PTZ_Subscription {
  public:
    // Subscribes to the events of topic0 (namespace "tns1") and topic1
    // (namespace "tnszelk"). A failure is logged and leaves it inactive.
    PTZ_Subscription(const char* topic0, const char* topic1, ZKEventSubscriptionCallback callback,
                     void* userData);
    ~PTZ_Subscription();
    PTZ_Subscription(const PTZ_Subscription&) = delete;
    PTZ_Subscription& operator=(const PTZ_Subscription&) = delete;

    bool isActive() const { return m_handler_p != nullptr; }

  private:
    // The filter of the two topics; null (after logging) when it cannot be built.
    static ZKEventKeyValueSet* createSubscriptionKeyValueSet(const char* topic0,
                                                             const char* topic1);

    ZKEventHandler* m_handler_p = nullptr;  // null while inactive
    guint m_subscriptionId = 0;
};
