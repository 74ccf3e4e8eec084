#pragma once

#include <cstdint>

#include "zk_event.h"

// The program's layer over the platform's event and parameter libraries: one
// process-wide event handler and parameter handler, a table of declared events
// with reference counts, event sending with time conversion, undeclaration
// delayed by 50 ms (so that an event removed and declared again at once, as
// happens on a configuration change, keeps its declaration) and parameter
// reading. Functions return 1 on success and 0 on failure, and log failures.
// Times are microseconds of the monotonic clock.

// Type flags of generic events.
enum SdkEventFlag_e : int {
    SDK_EVENT_QUIET_FIRST_SEND_FAILURES = 1,  // first five send failures at info level
    SDK_EVENT_STATEFUL = 2,                   // the event carries the boolean "active"
    SDK_EVENT_APPLICATION_DATA = 4,           // topic 2 is marked "isApplicationData"
    SDK_EVENT_DEPRECATED = 8,                 // topic 2 is marked "isDeprecated"
};

int sdk_wrapper_init(const char* appName, const char* displayName, const char* vendor);
void sdk_wrapper_cleanup();

// Declares a generic event under topic0 = vendor, topic1 = application name,
// topic2 = topic2Value. dataKey may be null.
int sdk_wrapper_event_add(const char* key, const char* topic2Value, const char* topic2NiceName,
                          int flags, const char* dataKey);
// Declares a generic event from a key-value set built by the caller; the set
// is freed here in every case.
int sdk_wrapper_event_add(const char* key, const char* niceName, int flags, const char* dataKey,
                          ZKEventKeyValueSet* keyValueSet);
int sdk_wrapper_event_add_onvif_motion_alarm_event(const char* key, int source, int initialState);
int sdk_wrapper_event_add_onvif_motion_region_alarm_event(const char* key, const char* ruleName,
                                                          int source, int initialState);

// time: null sends the current time; a time of 0 sends the zero time.
int sdk_wrapper_event_send(const char* key, int state, const char* data, const int64_t* time);
int sdk_wrapper_onvif_motion_alarm_event_send(const char* key, int state, const int64_t* time);
int sdk_wrapper_onvif_motion_region_alarm_event_send(const char* key, int state,
                                                     const char* ruleName, const int64_t* time);

// Drops one reference; the last one undeclares the event 50 ms later.
int sdk_wrapper_event_remove(const char* key);

// Copies the parameter's value into the buffer, truncated to size - 1
// characters; the buffer becomes empty when the parameter cannot be read.
char* sdk_wrapper_param_get(const char* name, char* buffer, int size);
