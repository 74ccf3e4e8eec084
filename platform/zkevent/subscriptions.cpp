#include "subscriptions.h"

#include <vector>

#include "injection.h"

namespace camlet {

SubscriptionRegistry& SubscriptionRegistry::instance() {
    static SubscriptionRegistry registry;
    return registry;
}

SubscriptionRegistry::SubscriptionRegistry() = default;
SubscriptionRegistry::~SubscriptionRegistry() = default;

bool SubscriptionRegistry::add(ZKEventHandler* owner, const ZKEventKeyValueSet& filter,
                               ZKEventSubscriptionCallback callback, gpointer userData, guint* id,
                               GError** error) {
    std::lock_guard<std::mutex> lifecycle(m_listenerMutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_listener) {
        m_listener = InjectionListener::open(*this, error);
        if (!m_listener) {
            return false;
        }
    }
    *id = m_nextId++;
    m_subscriptions.emplace(*id, Subscription{owner, filter, callback, userData});
    return true;
}

bool SubscriptionRegistry::remove(ZKEventHandler* owner, guint id) {
    std::lock_guard<std::mutex> lifecycle(m_listenerMutex);
    std::unique_ptr<InjectionListener> unused;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_subscriptions.find(id);
        if (it == m_subscriptions.end() || it->second.owner != owner) {
            return false;
        }
        m_subscriptions.erase(it);
        unused = takeListenerIfUnused();
    }
    return true;
}

void SubscriptionRegistry::removeAll(ZKEventHandler* owner) {
    std::lock_guard<std::mutex> lifecycle(m_listenerMutex);
    std::unique_ptr<InjectionListener> unused;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();) {
            it = it->second.owner == owner ? m_subscriptions.erase(it) : std::next(it);
        }
        unused = takeListenerIfUnused();
    }
}

std::unique_ptr<InjectionListener> SubscriptionRegistry::takeListenerIfUnused() {
    return m_subscriptions.empty() ? std::move(m_listener) : nullptr;
}

void SubscriptionRegistry::deliver(const ZKEvent& event) {
    struct Delivery {
        guint id;
        ZKEventSubscriptionCallback callback;
        gpointer userData;
    };
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [id, subscription] : m_subscriptions) {
            if (event.keyValueSet.matches(subscription.filter)) {
                deliveries.push_back({id, subscription.callback, subscription.userData});
            }
        }
    }
    // Callbacks run outside the lock so that they may subscribe or unsubscribe.
    for (const auto& delivery : deliveries) {
        delivery.callback(delivery.id, new ZKEvent(event), delivery.userData);
    }
}

}  // namespace camlet
