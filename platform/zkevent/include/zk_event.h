#pragma once

#include <glib.h>

G_BEGIN_DECLS

// The platform event library: applications declare events (a key-value set
// describing topic, source and data items), send instances of them, undeclare
// them, and subscribe to events that others send.

typedef struct _ZKEventHandler ZKEventHandler;
typedef struct _ZKEventKeyValueSet ZKEventKeyValueSet;
typedef struct _ZKEvent ZKEvent;

typedef enum {
    ZK_EVENT_VALUE_TYPE_INT,
    ZK_EVENT_VALUE_TYPE_BOOL,
    ZK_EVENT_VALUE_TYPE_STRING,
} ZKEventValueType;

#define ZK_EVENT_ERROR (zk_event_error_quark())
GQuark zk_event_error_quark(void);

typedef enum {
    ZK_EVENT_ERROR_INVALID_ARGUMENT,
    ZK_EVENT_ERROR_NO_SUCH_KEY,
    ZK_EVENT_ERROR_TYPE_MISMATCH,
    ZK_EVENT_ERROR_NOT_DECLARED,
    ZK_EVENT_ERROR_IO,
} ZKEventError;

// Called when a declaration has been registered; may be NULL.
typedef void (*ZKDeclarationCompleteCallback)(guint declaration, gpointer user_data);

// Called on the main-loop thread with each event that matches a subscription.
// The callee owns the event and releases it with zk_event_free.
typedef void (*ZKEventSubscriptionCallback)(guint subscription, ZKEvent* event, gpointer user_data);

ZKEventHandler* zk_event_handler_new(void);
void zk_event_handler_free(ZKEventHandler* handler);

gboolean zk_event_handler_declare(ZKEventHandler* handler, ZKEventKeyValueSet* key_value_set,
                                  gboolean stateless, guint* declaration,
                                  ZKDeclarationCompleteCallback callback, gpointer user_data,
                                  GError** error);
gboolean zk_event_handler_undeclare(ZKEventHandler* handler, guint declaration, GError** error);
gboolean zk_event_handler_send_event(ZKEventHandler* handler, guint declaration, ZKEvent* event,
                                     GError** error);

// Subscribes to every event whose key-value set contains each key of the
// filter set (same key and namespace) with an equal value; keys of the filter
// that carry no value match any value.
gboolean zk_event_handler_subscribe(ZKEventHandler* handler, ZKEventKeyValueSet* filter,
                                    ZKEventSubscriptionCallback callback, gpointer user_data,
                                    guint* subscription, GError** error);
gboolean zk_event_handler_unsubscribe(ZKEventHandler* handler, guint subscription, GError** error);

ZKEventKeyValueSet* zk_event_key_value_set_new(void);
void zk_event_key_value_set_free(ZKEventKeyValueSet* set);

// Adds a key or replaces its value. value points to an int (INT), a gboolean
// (BOOL) or is a NUL-terminated text (STRING); NULL adds the key without value.
gboolean zk_event_key_value_set_add_key_value(ZKEventKeyValueSet* set, const char* key,
                                              const char* name_space, gconstpointer value,
                                              ZKEventValueType value_type, GError** error);
gboolean zk_event_key_value_set_add_nice_names(ZKEventKeyValueSet* set, const char* key,
                                               const char* name_space, const char* key_nice_name,
                                               const char* value_nice_name, GError** error);
gboolean zk_event_key_value_set_mark_as_source(ZKEventKeyValueSet* set, const char* key,
                                               const char* name_space, GError** error);
gboolean zk_event_key_value_set_mark_as_data(ZKEventKeyValueSet* set, const char* key,
                                             const char* name_space, GError** error);
gboolean zk_event_key_value_set_mark_as_user_defined(ZKEventKeyValueSet* set, const char* key,
                                                     const char* name_space, const char* tag,
                                                     GError** error);

gboolean zk_event_key_value_set_get_integer(const ZKEventKeyValueSet* set, const char* key,
                                            const char* name_space, int* value, GError** error);
gboolean zk_event_key_value_set_get_boolean(const ZKEventKeyValueSet* set, const char* key,
                                            const char* name_space, gboolean* value,
                                            GError** error);
// *value receives a copy that the caller releases with g_free.
gboolean zk_event_key_value_set_get_string(const ZKEventKeyValueSet* set, const char* key,
                                           const char* name_space, char** value, GError** error);

// Builds an event from a copy of the set, stamped with the given wall-clock
// time (NULL: now; {0, 0}: the zero time).
ZKEvent* zk_event_new(const ZKEventKeyValueSet* key_value_set, const GTimeVal* time);
void zk_event_free(ZKEvent* event);

// The event's key-value set, owned by the event.
const ZKEventKeyValueSet* zk_event_get_key_value_set(const ZKEvent* event);
// The event's wall-clock time.
void zk_event_get_time(const ZKEvent* event, GTimeVal* time);

G_END_DECLS
