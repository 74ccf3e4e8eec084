#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "key_value_set.h"
#include "zk_event.h"

namespace camlet {

class InjectionListener;

// Every subscription of the process. Events reach them through the injection
// socket (see zk_event_inject.h) and are delivered on the main-loop thread.
class SubscriptionRegistry {
  public:
    static SubscriptionRegistry& instance();

    // Adds a subscription; the first one opens the injection socket.
    bool add(ZKEventHandler* owner, const ZKEventKeyValueSet& filter,
             ZKEventSubscriptionCallback callback, gpointer userData, guint* id, GError** error);
    // Removes one subscription of the owner; the last one closes the socket.
    bool remove(ZKEventHandler* owner, guint id);
    void removeAll(ZKEventHandler* owner);

    // Hands a copy of the event to every matching subscription.
    void deliver(const ZKEvent& event);

  private:
    struct Subscription {
        ZKEventHandler* owner;
        ZKEventKeyValueSet filter;
        ZKEventSubscriptionCallback callback;
        gpointer userData;
    };

    SubscriptionRegistry();
    ~SubscriptionRegistry();
    // With m_mutex held: the listener, once no subscription is left. The
    // caller destroys it after releasing m_mutex (destruction waits for the
    // main loop, which may be delivering an event and need m_mutex) but
    // before releasing m_listenerMutex.
    std::unique_ptr<InjectionListener> takeListenerIfUnused();

    // Held while the listener is opened or closed, so that a new listener
    // is never opened while an old one on the same path is still closing.
    std::mutex m_listenerMutex;
    std::mutex m_mutex;
    std::map<guint, Subscription> m_subscriptions;
    guint m_nextId = 1;
    std::unique_ptr<InjectionListener> m_listener;
};

}  // namespace camlet

struct _ZKEvent {
    ZKEventKeyValueSet keyValueSet;
    gint64 timeUs;  // wall-clock microseconds since the epoch; 0 is the zero time
};
