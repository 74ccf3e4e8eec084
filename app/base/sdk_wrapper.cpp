#include "sdk_wrapper.h"

#include <glib.h>
#include <syslog.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "glib_mainloop.h"
#include "interval_timer_observable.h"
#include "utils.h"
#include "zk_parameter.h"

namespace {

constexpr int kHandlerTries = 10;
constexpr gulong kHandlerRetrySleepUs = 100000;
constexpr int64_t kUndeclarationDelayUs = 50000;
constexpr int kQuietSendFailures = 5;
constexpr size_t kMaxDataKeyLength = 127;
constexpr int kOnvifMotionAlarmType = 1;
constexpr int kOnvifMotionRegionAlarmType = 2;

struct EventRecord {
    guint declarationId = 0;
    int state = 0;
    int typeFlags = 0;
    int referenceCount = 1;
    int source = 0;
    std::string dataKey;
    int sendFailures = 0;

    bool isCompatibleWith(const EventRecord& other) const {
        return typeFlags == other.typeFlags && source == other.source && dataKey == other.dataKey;
    }
};

using DeclarationTable = std::map<std::string, std::unique_ptr<EventRecord>>;

struct WrapperState {
    std::mutex mutex;
    std::unique_ptr<DeclarationTable> declarations;
    ZKEventHandler* eventHandler = nullptr;
    std::string appName;
    std::string displayName;
    std::string vendor;
    ZKParameter* parameterHandler = nullptr;
    std::vector<std::pair<std::string, int>> pendingUndeclarations;
};

WrapperState g_wrapper;

using WrapperLock = std::lock_guard<std::mutex>;

// Keys and namespaces of the generic event topics.
constexpr const char* kTopicNamespace = "tnszelk";
constexpr const char* kOnvifNamespace = "tns1";

bool addString(ZKEventKeyValueSet* set, const char* key, const char* nameSpace, const char* value) {
    return zk_event_key_value_set_add_key_value(set, key, nameSpace, value,
                                                ZK_EVENT_VALUE_TYPE_STRING, nullptr) != FALSE;
}

bool addInt(ZKEventKeyValueSet* set, const char* key, int value) {
    return zk_event_key_value_set_add_key_value(set, key, nullptr, &value, ZK_EVENT_VALUE_TYPE_INT,
                                                nullptr) != FALSE;
}

bool addBool(ZKEventKeyValueSet* set, const char* key, int value) {
    const gboolean flag = value != 0 ? TRUE : FALSE;
    return zk_event_key_value_set_add_key_value(set, key, nullptr, &flag, ZK_EVENT_VALUE_TYPE_BOOL,
                                                nullptr) != FALSE;
}

bool markData(ZKEventKeyValueSet* set, const char* key) {
    return zk_event_key_value_set_mark_as_data(set, key, nullptr, nullptr) != FALSE;
}

bool markSource(ZKEventKeyValueSet* set, const char* key) {
    return zk_event_key_value_set_mark_as_source(set, key, nullptr, nullptr) != FALSE;
}

bool markUserDefined(ZKEventKeyValueSet* set, const char* key, const char* nameSpace,
                     const char* tag) {
    return zk_event_key_value_set_mark_as_user_defined(set, key, nameSpace, tag, nullptr) != FALSE;
}

// With the lock held: when the key is declared already, takes one more
// reference on a compatible declaration (1) or logs a conflicting one (0);
// nullopt when the key is new.
std::optional<int> referenceExisting(const char* key, const EventRecord& wanted,
                                     const char* conflictFormat, const char* name) {
    if (!g_wrapper.declarations) {
        return std::nullopt;
    }
    const auto it = g_wrapper.declarations->find(key);
    if (it == g_wrapper.declarations->end()) {
        return std::nullopt;
    }
    if (!it->second->isCompatibleWith(wanted)) {
        syslog(LOG_ERR, conflictFormat, name);
        return 0;
    }
    ++it->second->referenceCount;
    return 1;
}

// With the lock held: declares the set and keeps the record under the key.
int declareRecord(const char* key, std::unique_ptr<EventRecord> record, ZKEventKeyValueSet* set,
                  bool stateless, const char* failureFormat, const char* name) {
    if (!zk_event_handler_declare(g_wrapper.eventHandler, set, stateless ? TRUE : FALSE,
                                  &record->declarationId, nullptr, nullptr, nullptr)) {
        syslog(LOG_ERR, failureFormat, name);
        return 0;
    }
    if (!g_wrapper.declarations) {
        g_wrapper.declarations = std::make_unique<DeclarationTable>();
    }
    (*g_wrapper.declarations)[key] = std::move(record);
    return 1;
}

// The key-value set of a generic event, or null when it cannot be built.
ZKEventKeyValueSet* buildGenericSet(const char* topic2Value, const char* topic2NiceName,
                                    const EventRecord& record) {
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    const char* app = g_wrapper.appName.c_str();
    bool ok = addString(set, "topic0", kTopicNamespace, g_wrapper.vendor.c_str()) &&
              addString(set, "topic1", kTopicNamespace, app) &&
              zk_event_key_value_set_add_nice_names(set, "topic1", kTopicNamespace, app,
                                                    g_wrapper.displayName.c_str(), nullptr) &&
              addString(set, "topic2", kTopicNamespace, topic2Value) &&
              zk_event_key_value_set_add_nice_names(set, "topic2", kTopicNamespace, topic2Value,
                                                    topic2NiceName, nullptr);
    if (ok && (record.typeFlags & SDK_EVENT_APPLICATION_DATA)) {
        ok = markUserDefined(set, "topic2", kTopicNamespace, "isApplicationData");
    }
    if (ok && (record.typeFlags & SDK_EVENT_DEPRECATED)) {
        ok = markUserDefined(set, "topic2", kTopicNamespace, "isDeprecated");
    }
    if (ok && (record.typeFlags & SDK_EVENT_STATEFUL)) {
        ok = addBool(set, "active", record.state) && markData(set, "active");
    }
    if (ok && !record.dataKey.empty()) {
        ok = addString(set, record.dataKey.c_str(), nullptr, "") &&
             markData(set, record.dataKey.c_str());
    }
    if (!ok) {
        zk_event_key_value_set_free(set);
        return nullptr;
    }
    return set;
}

std::unique_ptr<EventRecord> makeRecord(int typeFlags, int source, const char* dataKey) {
    auto record = std::make_unique<EventRecord>();
    record->typeFlags = typeFlags;
    record->source = source;
    if (dataKey != nullptr) {
        record->dataKey.assign(dataKey, strnlen(dataKey, kMaxDataKeyLength));
    }
    return record;
}

GTimeVal wallClockTime(const int64_t* time, bool zeroMeansZero) {
    if (time == nullptr) {
        const int64_t now = g_get_real_time();
        GTimeVal value;
        value.tv_sec = static_cast<glong>(now / G_USEC_PER_SEC);
        value.tv_usec = static_cast<glong>(now % G_USEC_PER_SEC);
        return value;
    }
    if (zeroMeansZero && *time == 0) {
        return GTimeVal{0, 0};
    }
    return utils::convertMonotonicToUTC_Time(time);
}

bool sendEvent(const EventRecord& record, ZKEventKeyValueSet* set, const int64_t* time,
               bool zeroMeansZero) {
    const GTimeVal when = wallClockTime(time, zeroMeansZero);
    ZKEvent* event = zk_event_new(set, &when);
    const bool sent =
        zk_event_handler_send_event(g_wrapper.eventHandler, record.declarationId, event, nullptr);
    zk_event_free(event);
    return sent;
}

// With the lock held: the declaration of the key, or null.
EventRecord* findRecord(const std::string& key) {
    if (!g_wrapper.declarations) {
        return nullptr;
    }
    const auto it = g_wrapper.declarations->find(key);
    return it != g_wrapper.declarations->end() ? it->second.get() : nullptr;
}

// With the lock held: undeclares a key whose last reference went away.
void undeclareKey(const std::string& key) {
    const EventRecord* record = findRecord(key);
    if (record == nullptr) {
        syslog(LOG_WARNING,
               "Cannot remove event declaration for event %s as it is not registered\n",
               key.c_str());
        return;
    }
    if (record->referenceCount > 0) {
        return;  // declared again while the undeclaration was pending
    }
    zk_event_handler_undeclare(g_wrapper.eventHandler, record->declarationId, nullptr);
    g_wrapper.declarations->erase(key);
}

// With the lock held: the record of a key that can be sent, or null after
// logging why not. formats: not initialized, no table, unknown key.
EventRecord* sendableRecord(const char* key, const char* const (&formats)[3]) {
    if (g_wrapper.eventHandler == nullptr) {
        syslog(LOG_ERR, formats[0], key);
        return nullptr;
    }
    if (!g_wrapper.declarations) {
        syslog(LOG_ERR, formats[1], key);
        return nullptr;
    }
    EventRecord* record = findRecord(key);
    if (record == nullptr) {
        syslog(LOG_ERR, formats[2], key);
    }
    return record;
}

void onUndeclarationDue(int observerId) {
    {
        WrapperLock lock(g_wrapper.mutex);
        auto& pending = g_wrapper.pendingUndeclarations;
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            if (it->second == observerId) {
                undeclareKey(it->first);
                pending.erase(it);
                break;
            }
        }
    }
    IntervalTimerObservable::unregisterObserver(observerId);
}

template <typename Create>
auto createWithRetries(Create create, const char* failureFormat) {
    for (int attempt = 1; attempt <= kHandlerTries; ++attempt) {
        if (auto* handler = create()) {
            return handler;
        }
        syslog(LOG_WARNING, failureFormat, attempt, kHandlerTries);
        g_usleep(kHandlerRetrySleepUs);
    }
    return decltype(create())(nullptr);
}

// Declares a stateful ONVIF event whose keys the builder adds, unless a
// compatible declaration of the key exists already.
int declareOnvifEvent(const char* key, int type, int source, int initialState,
                      const std::function<bool(ZKEventKeyValueSet*)>& build,
                      const char* failureFormat) {
    WrapperLock lock(g_wrapper.mutex);
    auto record = makeRecord(type, source, nullptr);
    record->state = initialState;
    if (const std::optional<int> existing = referenceExisting(
            key, *record,
            "Cannot add event %s as it is already declared, but with other properties\n", key)) {
        return *existing;
    }
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    int result = 0;
    if (build(set)) {
        result = declareRecord(key, std::move(record), set, false, failureFormat, key);
    } else {
        syslog(LOG_ERR, failureFormat, key);
    }
    zk_event_key_value_set_free(set);
    return result;
}

// Sends an ONVIF event with the record's state set to the new one; addValues
// adds the event's values and logs those it cannot add. Absent times are now.
int sendOnvifEvent(const char* key, int state, const int64_t* time, const char* const (&formats)[3],
                   const std::function<void(ZKEventKeyValueSet*, const EventRecord&)>& addValues) {
    WrapperLock lock(g_wrapper.mutex);
    EventRecord* record = sendableRecord(key, formats);
    if (record == nullptr) {
        return 0;
    }
    record->state = state;
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    addValues(set, *record);
    const bool sent = sendEvent(*record, set, time, false);
    zk_event_key_value_set_free(set);
    if (!sent) {
        syslog(LOG_ERR, "Could not send ONVIF Motion Alarm event %s (id %d)\n", key,
               static_cast<int>(record->declarationId));
        return 0;
    }
    return 1;
}

}  // namespace

int sdk_wrapper_init(const char* appName, const char* displayName, const char* vendor) {
    mainloop_start(appName, displayName, vendor);
    WrapperLock lock(g_wrapper.mutex);
    g_wrapper.appName = appName;
    g_wrapper.displayName = displayName;
    g_wrapper.vendor = vendor;
    if (g_wrapper.eventHandler != nullptr) {
        syslog(LOG_WARNING, "The event handler is already initialized.\n");
    } else {
        g_wrapper.eventHandler = createWithRetries(
            zk_event_handler_new, "Could not get an event-handler, try %d of %d\n");
        if (!g_wrapper.declarations) {
            g_wrapper.declarations = std::make_unique<DeclarationTable>();
        }
    }
    if (g_wrapper.parameterHandler != nullptr) {
        syslog(LOG_WARNING, "The parameter handler is already initialized.\n");
        return 1;
    }
    g_wrapper.parameterHandler =
        createWithRetries([appName] { return zk_parameter_new(appName, nullptr); },
                          "Could not get an parameter-handler, try %d of %d\n");
    return 1;
}

void sdk_wrapper_cleanup() {
    WrapperLock lock(g_wrapper.mutex);
    for (const auto& pending : g_wrapper.pendingUndeclarations) {
        undeclareKey(pending.first);
    }
    g_wrapper.pendingUndeclarations.clear();
    g_wrapper.appName.clear();
    g_wrapper.displayName.clear();
    g_wrapper.vendor.clear();
    if (g_wrapper.declarations) {
        for (const auto& declaration : *g_wrapper.declarations) {
            zk_event_handler_undeclare(g_wrapper.eventHandler, declaration.second->declarationId,
                                       nullptr);
        }
        g_wrapper.declarations.reset();
    }
    if (g_wrapper.eventHandler != nullptr) {
        zk_event_handler_free(g_wrapper.eventHandler);
        g_wrapper.eventHandler = nullptr;
    }
    if (g_wrapper.parameterHandler != nullptr) {
        zk_parameter_free(g_wrapper.parameterHandler);
        g_wrapper.parameterHandler = nullptr;
    }
}

int sdk_wrapper_event_add(const char* key, const char* topic2Value, const char* topic2NiceName,
                          int flags, const char* dataKey) {
    WrapperLock lock(g_wrapper.mutex);
    if (g_wrapper.eventHandler == nullptr) {
        syslog(LOG_ERR, "Cannot register event %s (handler not initialized)\n", topic2NiceName);
        return 0;
    }
    auto record = makeRecord(flags, 0, dataKey);
    if (const std::optional<int> existing = referenceExisting(
            key, *record,
            "Cannot add event %s as it is already declared, but with other properties\n",
            topic2NiceName)) {
        return *existing;
    }
    ZKEventKeyValueSet* set = buildGenericSet(topic2Value, topic2NiceName, *record);
    if (set == nullptr) {
        syslog(LOG_ERR, "Cannot declare event %s (internal error)\n", topic2NiceName);
        return 0;
    }
    const bool stateless = (flags & SDK_EVENT_STATEFUL) == 0;
    const int result = declareRecord(key, std::move(record), set, stateless,
                                     "Cannot declare event %s (internal error)\n", topic2NiceName);
    zk_event_key_value_set_free(set);
    return result;
}

int sdk_wrapper_event_add(const char* key, const char* niceName, int flags, const char* dataKey,
                          ZKEventKeyValueSet* keyValueSet) {
    WrapperLock lock(g_wrapper.mutex);
    std::unique_ptr<ZKEventKeyValueSet, void (*)(ZKEventKeyValueSet*)> set(
        keyValueSet, zk_event_key_value_set_free);
    if (g_wrapper.eventHandler == nullptr) {
        syslog(LOG_ERR, "SDK Wrapper: Cannot register event %s (handler not initialized)\n",
               niceName);
        return 0;
    }
    auto record = makeRecord(flags, 0, dataKey);
    if (const std::optional<int> existing =
            referenceExisting(key, *record,
                              "SDK Wrapper: Cannot add event %s as it is already declared, but "
                              "with other properties\n",
                              niceName)) {
        return *existing;
    }
    const bool stateless = (flags & SDK_EVENT_STATEFUL) == 0;
    return declareRecord(key, std::move(record), set.get(), stateless,
                         "SDK Wrapper: Cannot declare event %s (internal error)\n", niceName);
}

int sdk_wrapper_event_add_onvif_motion_alarm_event(const char* key, int source, int initialState) {
    return declareOnvifEvent(
        key, kOnvifMotionAlarmType, source, initialState,
        [&](ZKEventKeyValueSet* set) {
            return addString(set, "topic0", kOnvifNamespace, "VideoSource") &&
                   addString(set, "topic1", kOnvifNamespace, "MotionAlarm") &&
                   addInt(set, "Source", source) && markSource(set, "Source") &&
                   markUserDefined(set, "Source", nullptr, "wstype:tt:ReferenceToken") &&
                   addBool(set, "State", initialState) && markData(set, "State");
        },
        "Cannot declare ONVIF Motion Alarm event %s (internal error)\n");
}

int sdk_wrapper_event_add_onvif_motion_region_alarm_event(const char* key, const char* ruleName,
                                                          int source, int initialState) {
    return declareOnvifEvent(
        key, kOnvifMotionRegionAlarmType, source, initialState,
        [&](ZKEventKeyValueSet* set) {
            return addString(set, "topic0", kOnvifNamespace, "RuleEngine") &&
                   addString(set, "topic1", kOnvifNamespace, "MotionRegionDetector") &&
                   addString(set, "topic2", kOnvifNamespace, "Motion") &&
                   markUserDefined(set, "topic2", kOnvifNamespace, "isApplicationData") &&
                   addBool(set, "State", initialState) && markData(set, "State") &&
                   markUserDefined(set, "State", nullptr, "wstype:xsd:boolean") &&
                   addInt(set, "VideoSource", source) && markSource(set, "VideoSource") &&
                   markUserDefined(set, "VideoSource", nullptr, "wstype:tt:ReferenceToken") &&
                   addString(set, "RuleName", nullptr, ruleName != nullptr ? ruleName : "") &&
                   markSource(set, "RuleName") &&
                   markUserDefined(set, "RuleName", nullptr, "wstype:xsd:string");
        },
        "Cannot declare ONVIF Motion Region Alarm event %s (internal error)\n");
}

int sdk_wrapper_event_send(const char* key, int state, const char* data, const int64_t* time) {
    static const char* const kFormats[3] = {"Cannot send event %s. Handler is not initialized\n",
                                            "Cannot send event %s. No events are registered\n",
                                            "Cannot send event %s.  Event is not registered\n"};
    WrapperLock lock(g_wrapper.mutex);
    EventRecord* record = sendableRecord(key, kFormats);
    if (record == nullptr) {
        return 0;
    }
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    record->state = state;
    bool built = true;
    if (record->typeFlags & SDK_EVENT_STATEFUL) {
        built = addBool(set, "active", state);
    }
    if (built && data != nullptr && !record->dataKey.empty()) {
        built = addString(set, record->dataKey.c_str(), nullptr, data);
    }
    if (!built) {
        syslog(LOG_ERR, "Could not send event %s.  Internal error\n", key);
        zk_event_key_value_set_free(set);
        return 0;
    }
    const bool sent = sendEvent(*record, set, time, true);
    zk_event_key_value_set_free(set);
    if (sent) {
        record->sendFailures = 0;
        return 1;
    }
    const bool quiet = (record->typeFlags & SDK_EVENT_QUIET_FIRST_SEND_FAILURES) != 0 &&
                       record->sendFailures < kQuietSendFailures;
    syslog(quiet ? LOG_INFO : LOG_ERR, "Could not send event %s (id %d)\n", key,
           static_cast<int>(record->declarationId));
    ++record->sendFailures;
    return 0;
}

int sdk_wrapper_onvif_motion_alarm_event_send(const char* key, int state, const int64_t* time) {
    static const char* const kFormats[3] = {
        "Cannot send ONVIF Motion Alarm event. Handler is not initialized\n",
        "Cannot send ONVIF Motion Alarm event. No events are registered\n",
        "Cannot send ONVIF Motion Alarm event.  Event is not registered\n"};
    return sendOnvifEvent(
        key, state, time, kFormats, [&](ZKEventKeyValueSet* set, const EventRecord& record) {
            if (!addInt(set, "Source", record.source) || !addBool(set, "State", state)) {
                syslog(LOG_ERR, "Could not send ONVIF Motion Alarm event %s (id %d)\n", key,
                       static_cast<int>(record.declarationId));
            }
        });
}

int sdk_wrapper_onvif_motion_region_alarm_event_send(const char* key, int state,
                                                     const char* ruleName, const int64_t* time) {
    static const char* const kFormats[3] = {
        "Cannot send ONVIF Motion Region Alarm event. Handler is not initialized\n",
        "Cannot send ONVIF Motion Region Alarm event. No events are registered\n",
        "Cannot send ONVIF Motion Region Alarm event.  Event is not registered\n"};
    return sendOnvifEvent(
        key, state, time, kFormats, [&](ZKEventKeyValueSet* set, const EventRecord& record) {
            const int id = static_cast<int>(record.declarationId);
            if (!addInt(set, "VideoSource", record.source)) {
                syslog(LOG_ERR,
                       "Source: Could not send ONVIF Motion Region Alarm event %s (id %d)\n", key,
                       id);
            }
            if (!addString(set, "RuleName", nullptr, ruleName != nullptr ? ruleName : "")) {
                syslog(LOG_ERR,
                       "RuleName: Could not send ONVIF Motion Region Alarm event %s (id %d)\n", key,
                       id);
            }
            if (!addBool(set, "State", state)) {
                syslog(LOG_ERR,
                       "State: Could not send ONVIF Motion Region Alarm event %s (id %d)\n", key,
                       id);
            }
        });
}

int sdk_wrapper_event_remove(const char* key) {
    WrapperLock lock(g_wrapper.mutex);
    EventRecord* record = findRecord(key);
    if (record == nullptr) {
        syslog(LOG_ERR, "Cannot remove event declaration for event %s as it is not registered\n",
               key);
        return 0;
    }
    if (--record->referenceCount > 0) {
        return 1;
    }
    const int observer =
        IntervalTimerObservable::registerObserver(onUndeclarationDue, kUndeclarationDelayUs);
    if (observer == -1) {
        // Without the timer service the delay cannot be kept; undeclaring now
        // is better than leaving the event declared for good.
        undeclareKey(key);
        return 1;
    }
    g_wrapper.pendingUndeclarations.emplace_back(key, observer);
    return 1;
}

char* sdk_wrapper_param_get(const char* name, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return buffer;
    }
    WrapperLock lock(g_wrapper.mutex);
    buffer[0] = '\0';
    if (g_wrapper.parameterHandler == nullptr) {
        syslog(LOG_WARNING, "Cannot get parameter %s (handler not initialized). Using: %s = %s\n",
               name, name, buffer);
        return buffer;
    }
    char* value = nullptr;
    if (zk_parameter_get(g_wrapper.parameterHandler, name, &value, nullptr) && value != nullptr) {
        g_strlcpy(buffer, value, static_cast<gsize>(size));
    }
    g_free(value);
    return buffer;
}
