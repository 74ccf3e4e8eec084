#include "zk_event.h"

#include <atomic>
#include <mutex>
#include <set>

#include "event_log.h"
#include "key_value_set.h"
#include "subscriptions.h"

using camlet::EventKey;
using camlet::EventLog;
using camlet::SubscriptionRegistry;

struct _ZKEventHandler {
    std::mutex mutex;
    std::set<guint> declarations;
};

G_DEFINE_QUARK(zk - event - error - quark, zk_event_error)

namespace {

// Declaration ids are unique in the process, so that the event log names
// each declaration unambiguously.
std::atomic<guint> g_nextDeclaration{1};

gboolean fail(GError** error, ZKEventError code, const char* message) {
    g_set_error_literal(error, ZK_EVENT_ERROR, code, message);
    return FALSE;
}

EventKey* findKey(ZKEventKeyValueSet* set, const char* key, const char* nameSpace, GError** error) {
    if (set == nullptr || key == nullptr) {
        fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
        return nullptr;
    }
    EventKey* entry = set->find(key, nameSpace);
    if (entry == nullptr) {
        g_set_error(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_NO_SUCH_KEY, "No key %s", key);
    }
    return entry;
}

const EventKey* findTypedKey(const ZKEventKeyValueSet* set, const char* key, const char* nameSpace,
                             ZKEventValueType type, GError** error) {
    const EventKey* entry = findKey(const_cast<ZKEventKeyValueSet*>(set), key, nameSpace, error);
    if (entry != nullptr && (entry->type != type || entry->value.index() == 0)) {
        g_set_error(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_TYPE_MISMATCH,
                    "Key %s has no value of the requested type", key);
        return nullptr;
    }
    return entry;
}

bool isDeclared(ZKEventHandler* handler, guint declaration) {
    std::lock_guard<std::mutex> lock(handler->mutex);
    return handler->declarations.count(declaration) != 0;
}

}  // namespace

ZKEventHandler* zk_event_handler_new(void) {
    return new _ZKEventHandler;
}

void zk_event_handler_free(ZKEventHandler* handler) {
    if (handler == nullptr) {
        return;
    }
    SubscriptionRegistry::instance().removeAll(handler);
    delete handler;
}

gboolean zk_event_handler_declare(ZKEventHandler* handler, ZKEventKeyValueSet* key_value_set,
                                  gboolean stateless, guint* declaration,
                                  ZKDeclarationCompleteCallback callback, gpointer user_data,
                                  GError** error) {
    if (handler == nullptr || key_value_set == nullptr || declaration == nullptr) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    const guint id = g_nextDeclaration++;
    json_t* keys = json_array();
    for (const auto& key : key_value_set->keys) {
        json_array_append_new(keys, camlet::keyToJson(key));
    }
    if (!EventLog::append(json_pack("{s:s,s:I,s:b,s:o}", "op", "declare", "id",
                                    static_cast<json_int_t>(id), "stateless", stateless ? 1 : 0,
                                    "keys", keys))) {
        return fail(error, ZK_EVENT_ERROR_IO, "Cannot write the event log");
    }
    {
        std::lock_guard<std::mutex> lock(handler->mutex);
        handler->declarations.insert(id);
    }
    *declaration = id;
    if (callback != nullptr) {
        callback(id, user_data);
    }
    return TRUE;
}

gboolean zk_event_handler_undeclare(ZKEventHandler* handler, guint declaration, GError** error) {
    if (handler == nullptr) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    {
        std::lock_guard<std::mutex> lock(handler->mutex);
        if (handler->declarations.erase(declaration) == 0) {
            return fail(error, ZK_EVENT_ERROR_NOT_DECLARED, "Unknown declaration");
        }
    }
    if (!EventLog::append(json_pack("{s:s,s:I}", "op", "undeclare", "id",
                                    static_cast<json_int_t>(declaration)))) {
        return fail(error, ZK_EVENT_ERROR_IO, "Cannot write the event log");
    }
    return TRUE;
}

gboolean zk_event_handler_send_event(ZKEventHandler* handler, guint declaration, ZKEvent* event,
                                     GError** error) {
    if (handler == nullptr || event == nullptr) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    if (!isDeclared(handler, declaration)) {
        return fail(error, ZK_EVENT_ERROR_NOT_DECLARED, "Unknown declaration");
    }
    json_t* values = json_object();
    for (const auto& key : event->keyValueSet.keys) {
        json_object_set_new(values, key.key.c_str(), camlet::valueToJson(key.value));
    }
    if (!EventLog::append(json_pack("{s:s,s:I,s:I,s:o}", "op", "send", "id",
                                    static_cast<json_int_t>(declaration), "time_us",
                                    static_cast<json_int_t>(event->timeUs), "values", values))) {
        return fail(error, ZK_EVENT_ERROR_IO, "Cannot write the event log");
    }
    return TRUE;
}

gboolean zk_event_handler_subscribe(ZKEventHandler* handler, ZKEventKeyValueSet* filter,
                                    ZKEventSubscriptionCallback callback, gpointer user_data,
                                    guint* subscription, GError** error) {
    if (handler == nullptr || filter == nullptr || callback == nullptr || subscription == nullptr) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    return SubscriptionRegistry::instance().add(handler, *filter, callback, user_data, subscription,
                                                error)
               ? TRUE
               : FALSE;
}

gboolean zk_event_handler_unsubscribe(ZKEventHandler* handler, guint subscription, GError** error) {
    if (!SubscriptionRegistry::instance().remove(handler, subscription)) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Unknown subscription");
    }
    return TRUE;
}

ZKEventKeyValueSet* zk_event_key_value_set_new(void) {
    return new _ZKEventKeyValueSet;
}

void zk_event_key_value_set_free(ZKEventKeyValueSet* set) {
    delete set;
}

gboolean zk_event_key_value_set_add_key_value(ZKEventKeyValueSet* set, const char* key,
                                              const char* name_space, gconstpointer value,
                                              ZKEventValueType value_type, GError** error) {
    if (set == nullptr || key == nullptr) {
        return fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    EventKey* entry = set->find(key, name_space);
    if (entry == nullptr) {
        entry = &set->keys.emplace_back();
        entry->key = key;
        if (name_space != nullptr) {
            entry->nameSpace = name_space;
        }
    }
    entry->type = value_type;
    if (value == nullptr) {
        entry->value = std::monostate{};
    } else if (value_type == ZK_EVENT_VALUE_TYPE_INT) {
        entry->value = *static_cast<const int*>(value);
    } else if (value_type == ZK_EVENT_VALUE_TYPE_BOOL) {
        entry->value = *static_cast<const gboolean*>(value) != FALSE;
    } else {
        entry->value = std::string(static_cast<const char*>(value));
    }
    return TRUE;
}

gboolean zk_event_key_value_set_add_nice_names(ZKEventKeyValueSet* set, const char* key,
                                               const char* name_space, const char* key_nice_name,
                                               const char* value_nice_name, GError** error) {
    EventKey* entry = findKey(set, key, name_space, error);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->niceNames.emplace(key_nice_name != nullptr ? key_nice_name : "",
                             value_nice_name != nullptr ? value_nice_name : "");
    return TRUE;
}

gboolean zk_event_key_value_set_mark_as_source(ZKEventKeyValueSet* set, const char* key,
                                               const char* name_space, GError** error) {
    EventKey* entry = findKey(set, key, name_space, error);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->source = true;
    return TRUE;
}

gboolean zk_event_key_value_set_mark_as_data(ZKEventKeyValueSet* set, const char* key,
                                             const char* name_space, GError** error) {
    EventKey* entry = findKey(set, key, name_space, error);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->data = true;
    return TRUE;
}

gboolean zk_event_key_value_set_mark_as_user_defined(ZKEventKeyValueSet* set, const char* key,
                                                     const char* name_space, const char* tag,
                                                     GError** error) {
    EventKey* entry = findKey(set, key, name_space, error);
    if (entry == nullptr || tag == nullptr) {
        return entry == nullptr ? FALSE
                                : fail(error, ZK_EVENT_ERROR_INVALID_ARGUMENT, "Invalid argument");
    }
    entry->tags.emplace_back(tag);
    return TRUE;
}

gboolean zk_event_key_value_set_get_integer(const ZKEventKeyValueSet* set, const char* key,
                                            const char* name_space, int* value, GError** error) {
    const EventKey* entry = findTypedKey(set, key, name_space, ZK_EVENT_VALUE_TYPE_INT, error);
    if (entry == nullptr || value == nullptr) {
        return FALSE;
    }
    *value = std::get<int>(entry->value);
    return TRUE;
}

gboolean zk_event_key_value_set_get_boolean(const ZKEventKeyValueSet* set, const char* key,
                                            const char* name_space, gboolean* value,
                                            GError** error) {
    const EventKey* entry = findTypedKey(set, key, name_space, ZK_EVENT_VALUE_TYPE_BOOL, error);
    if (entry == nullptr || value == nullptr) {
        return FALSE;
    }
    *value = std::get<bool>(entry->value) ? TRUE : FALSE;
    return TRUE;
}

gboolean zk_event_key_value_set_get_string(const ZKEventKeyValueSet* set, const char* key,
                                           const char* name_space, char** value, GError** error) {
    const EventKey* entry = findTypedKey(set, key, name_space, ZK_EVENT_VALUE_TYPE_STRING, error);
    if (entry == nullptr || value == nullptr) {
        return FALSE;
    }
    *value = g_strdup(std::get<std::string>(entry->value).c_str());
    return TRUE;
}

ZKEvent* zk_event_new(const ZKEventKeyValueSet* key_value_set, const GTimeVal* time) {
    if (key_value_set == nullptr) {
        return nullptr;
    }
    const gint64 timeUs = time == nullptr ? g_get_real_time()
                                          : static_cast<gint64>(time->tv_sec) * G_USEC_PER_SEC +
                                                static_cast<gint64>(time->tv_usec);
    return new _ZKEvent{*key_value_set, timeUs};
}

void zk_event_free(ZKEvent* event) {
    delete event;
}

const ZKEventKeyValueSet* zk_event_get_key_value_set(const ZKEvent* event) {
    return event != nullptr ? &event->keyValueSet : nullptr;
}

void zk_event_get_time(const ZKEvent* event, GTimeVal* time) {
    if (event == nullptr || time == nullptr) {
        return;
    }
    time->tv_sec = static_cast<glong>(event->timeUs / G_USEC_PER_SEC);
    time->tv_usec = static_cast<glong>(event->timeUs % G_USEC_PER_SEC);
}
