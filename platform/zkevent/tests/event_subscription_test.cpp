#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "glib_mainloop.h"
#include "injection.h"
#include "temporary_root.h"
#include "zk_event.h"
#include "zk_event_inject.h"

namespace {

// Collects the events delivered to one subscription, on the main-loop thread.
struct Received {
    std::mutex mutex;
    std::condition_variable cond;
    std::vector<std::pair<int, gint64>> tokensAndTimes;

    static void onEvent(guint, ZKEvent* event, gpointer self) {
        auto* received = static_cast<Received*>(self);
        int token = -1;
        zk_event_key_value_set_get_integer(zk_event_get_key_value_set(event), "PresetToken",
                                           nullptr, &token, nullptr);
        GTimeVal time;
        zk_event_get_time(event, &time);
        zk_event_free(event);
        std::lock_guard<std::mutex> lock(received->mutex);
        received->tokensAndTimes.emplace_back(
            token, static_cast<gint64>(time.tv_sec) * G_USEC_PER_SEC + time.tv_usec);
        received->cond.notify_all();
    }

    std::vector<std::pair<int, gint64>> waitFor(size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        cond.wait_for(lock, std::chrono::seconds(5),
                      [&] { return tokensAndTimes.size() >= count; });
        return tokensAndTimes;
    }
};

std::string ptzEvent(const char* topic1, int token, long long timeUs) {
    return std::string("{\"time_us\":") + std::to_string(timeUs) +
           ",\"keys\":[{\"key\":\"topic0\",\"namespace\":\"tns1\",\"type\":\"string\","
           "\"value\":\"PTZController\"},{\"key\":\"topic1\",\"namespace\":\"tnszelk\","
           "\"type\":\"string\",\"value\":\"" +
           topic1 + "\"},{\"key\":\"PresetToken\",\"namespace\":null,\"type\":\"int\",\"value\":" +
           std::to_string(token) + "}]}";
}

TEST(EventSubscription, InjectedEventsReachMatchingSubscribersOnly) {
    camlet::testing::TemporaryRoot root;
    ASSERT_TRUE(mainloop_start("test", "Test", "Vendor"));

    ZKEventHandler* handler = zk_event_handler_new();
    ZKEventKeyValueSet* filter = zk_event_key_value_set_new();
    zk_event_key_value_set_add_key_value(filter, "topic0", "tns1", "PTZController",
                                         ZK_EVENT_VALUE_TYPE_STRING, nullptr);
    zk_event_key_value_set_add_key_value(filter, "topic1", "tnszelk", "PTZPresets",
                                         ZK_EVENT_VALUE_TYPE_STRING, nullptr);
    Received received;
    guint subscription = 0;
    ASSERT_TRUE(zk_event_handler_subscribe(handler, filter, Received::onEvent, &received,
                                           &subscription, nullptr));
    zk_event_key_value_set_free(filter);
    const std::string socketPath = root.path() + camlet::InjectionListener::kSocketPath;
    EXPECT_TRUE(g_file_test(socketPath.c_str(), G_FILE_TEST_EXISTS));

    ASSERT_TRUE(zk_event_inject(ptzEvent("Move", 1, 10).c_str(), nullptr));
    ASSERT_TRUE(zk_event_inject("not json", nullptr));
    ASSERT_TRUE(zk_event_inject(ptzEvent("PTZPresets", 4, 1700000000123456).c_str(), nullptr));

    const auto events = received.waitFor(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, 4);
    EXPECT_EQ(events[0].second, 1700000000123456);

    ASSERT_TRUE(zk_event_handler_unsubscribe(handler, subscription, nullptr));
    EXPECT_FALSE(zk_event_handler_unsubscribe(handler, subscription, nullptr));
    EXPECT_FALSE(g_file_test(socketPath.c_str(), G_FILE_TEST_EXISTS));
    zk_event_handler_free(handler);
}

TEST(EventSubscription, InjectionWithoutSubscriberFails) {
    camlet::testing::TemporaryRoot root;
    GError* error = nullptr;
    EXPECT_FALSE(zk_event_inject(ptzEvent("Move", 1, 10).c_str(), &error));
    EXPECT_NE(error, nullptr);
    g_clear_error(&error);
}

TEST(EventSubscription, MalformedInjectionsAreRejected) {
    EXPECT_FALSE(camlet::InjectionListener::parse("{}").has_value());
    EXPECT_FALSE(camlet::InjectionListener::parse(
                     "{\"keys\":[{\"key\":\"a\",\"type\":\"int\",\"value\":\"text\"}]}")
                     .has_value());
    EXPECT_FALSE(camlet::InjectionListener::parse("{\"keys\":[{\"key\":\"a\",\"type\":\"float\"}]}")
                     .has_value());
    const auto event = camlet::InjectionListener::parse(
        "{\"keys\":[{\"key\":\"on_preset\",\"type\":\"bool\",\"value\":true}]}");
    ASSERT_TRUE(event.has_value());
    gboolean onPreset = FALSE;
    EXPECT_TRUE(zk_event_key_value_set_get_boolean(&event->keyValueSet, "on_preset", nullptr,
                                                   &onPreset, nullptr));
    EXPECT_TRUE(onPreset);
}

}  // namespace
