#include <gtest/gtest.h>
#include <jansson.h>

#include "event_log.h"
#include "temporary_root.h"
#include "zk_event.h"

namespace {

class EventDeclarationTest : public ::testing::Test {
  protected:
    std::vector<std::string> logLines() const { return root.readLines(camlet::EventLog::kPath); }

    camlet::testing::TemporaryRoot root;
    ZKEventHandler* handler = zk_event_handler_new();

    ~EventDeclarationTest() override { zk_event_handler_free(handler); }
};

TEST_F(EventDeclarationTest, DeclarationRecordsKeysWithTheirMarksInOrder) {
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    const char* topic = "Dwellwatch";
    const int source = 0;
    const gboolean active = FALSE;
    ASSERT_TRUE(zk_event_key_value_set_add_key_value(set, "topic1", "tnszelk", topic,
                                                     ZK_EVENT_VALUE_TYPE_STRING, nullptr));
    ASSERT_TRUE(zk_event_key_value_set_add_nice_names(set, "topic1", "tnszelk", "DwellwatchGuard",
                                                      "Dwellwatch", nullptr));
    ASSERT_TRUE(zk_event_key_value_set_mark_as_user_defined(set, "topic1", "tnszelk",
                                                            "isApplicationData", nullptr));
    ASSERT_TRUE(zk_event_key_value_set_add_key_value(set, "Source", nullptr, &source,
                                                     ZK_EVENT_VALUE_TYPE_INT, nullptr));
    ASSERT_TRUE(zk_event_key_value_set_mark_as_source(set, "Source", nullptr, nullptr));
    ASSERT_TRUE(zk_event_key_value_set_add_key_value(set, "active", nullptr, &active,
                                                     ZK_EVENT_VALUE_TYPE_BOOL, nullptr));
    ASSERT_TRUE(zk_event_key_value_set_mark_as_data(set, "active", nullptr, nullptr));
    // Marks address a key by name and namespace: the same name elsewhere is another key.
    GError* error = nullptr;
    EXPECT_FALSE(zk_event_key_value_set_mark_as_data(set, "topic1", nullptr, &error));
    EXPECT_TRUE(g_error_matches(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_NO_SUCH_KEY));
    g_clear_error(&error);

    guint id = 0;
    ASSERT_TRUE(zk_event_handler_declare(handler, set, FALSE, &id, nullptr, nullptr, nullptr));
    zk_event_key_value_set_free(set);

    const auto lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "{\"op\":\"declare\",\"id\":" + std::to_string(id) +
                  ",\"stateless\":false,\"keys\":["
                  "{\"key\":\"topic1\",\"namespace\":\"tnszelk\",\"type\":\"string\","
                  "\"value\":\"Dwellwatch\",\"niceNames\":[\"DwellwatchGuard\",\"Dwellwatch\"],"
                  "\"tags\":[\"isApplicationData\"]},"
                  "{\"key\":\"Source\",\"namespace\":null,\"type\":\"int\",\"value\":0,"
                  "\"source\":true},"
                  "{\"key\":\"active\",\"namespace\":null,\"type\":\"bool\",\"value\":false,"
                  "\"data\":true}]}");
}

TEST_F(EventDeclarationTest, SendsCarryTheirTimeAndOnlyDeclaredIdsCanBeUsed) {
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    const gboolean on = TRUE;
    zk_event_key_value_set_add_key_value(set, "active", nullptr, &on, ZK_EVENT_VALUE_TYPE_BOOL,
                                         nullptr);
    guint id = 0;
    ASSERT_TRUE(zk_event_handler_declare(handler, set, TRUE, &id, nullptr, nullptr, nullptr));

    const GTimeVal zero{0, 0};
    ZKEvent* atZero = zk_event_new(set, &zero);
    ASSERT_TRUE(zk_event_handler_send_event(handler, id, atZero, nullptr));
    zk_event_free(atZero);

    const gint64 before = g_get_real_time();
    ZKEvent* now = zk_event_new(set, nullptr);
    ASSERT_TRUE(zk_event_handler_send_event(handler, id, now, nullptr));
    const gint64 after = g_get_real_time();

    ASSERT_TRUE(zk_event_handler_undeclare(handler, id, nullptr));
    GError* error = nullptr;
    EXPECT_FALSE(zk_event_handler_send_event(handler, id, now, &error));
    EXPECT_TRUE(g_error_matches(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_NOT_DECLARED));
    g_clear_error(&error);
    EXPECT_FALSE(zk_event_handler_undeclare(handler, id, nullptr));
    zk_event_free(now);
    zk_event_key_value_set_free(set);

    const auto lines = logLines();
    ASSERT_EQ(lines.size(), 4u);
    const std::string idText = std::to_string(id);
    EXPECT_EQ(lines[1],
              "{\"op\":\"send\",\"id\":" + idText + ",\"time_us\":0,\"values\":{\"active\":true}}");
    json_t* sent = json_loads(lines[2].c_str(), 0, nullptr);
    ASSERT_NE(sent, nullptr);
    const json_int_t timeUs = json_integer_value(json_object_get(sent, "time_us"));
    EXPECT_GE(timeUs, before);
    EXPECT_LE(timeUs, after);
    json_decref(sent);
    EXPECT_EQ(lines[3], "{\"op\":\"undeclare\",\"id\":" + idText + "}");
}

TEST_F(EventDeclarationTest, KeyValueSetsReadBackTypedValues) {
    ZKEventKeyValueSet* set = zk_event_key_value_set_new();
    const int token = 7;
    const gboolean moving = TRUE;
    zk_event_key_value_set_add_key_value(set, "PresetToken", nullptr, &token,
                                         ZK_EVENT_VALUE_TYPE_INT, nullptr);
    zk_event_key_value_set_add_key_value(set, "is_moving", nullptr, &moving,
                                         ZK_EVENT_VALUE_TYPE_BOOL, nullptr);
    zk_event_key_value_set_add_key_value(set, "topic0", "tns1", "PTZController",
                                         ZK_EVENT_VALUE_TYPE_STRING, nullptr);

    int intValue = 0;
    gboolean boolValue = FALSE;
    char* text = nullptr;
    EXPECT_TRUE(
        zk_event_key_value_set_get_integer(set, "PresetToken", nullptr, &intValue, nullptr));
    EXPECT_EQ(intValue, 7);
    EXPECT_TRUE(zk_event_key_value_set_get_boolean(set, "is_moving", nullptr, &boolValue, nullptr));
    EXPECT_TRUE(boolValue);
    EXPECT_TRUE(zk_event_key_value_set_get_string(set, "topic0", "tns1", &text, nullptr));
    EXPECT_STREQ(text, "PTZController");
    g_free(text);

    GError* error = nullptr;
    EXPECT_FALSE(
        zk_event_key_value_set_get_boolean(set, "PresetToken", nullptr, &boolValue, &error));
    EXPECT_TRUE(g_error_matches(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_TYPE_MISMATCH));
    g_clear_error(&error);
    EXPECT_FALSE(zk_event_key_value_set_get_integer(set, "on_preset", nullptr, &intValue, &error));
    EXPECT_TRUE(g_error_matches(error, ZK_EVENT_ERROR, ZK_EVENT_ERROR_NO_SUCH_KEY));
    g_clear_error(&error);
    zk_event_key_value_set_free(set);
}

}  // namespace
