#include "base/sdk_wrapper.h"

#include <gtest/gtest.h>
#include <jansson.h>

#include <string>
#include <vector>

#include "base/interval_timer_observable.h"
#include "temporary_root.h"
#include "wait_until.h"

namespace {

using camlet::testing::waitUntil;

constexpr const char* kEventLog = "/var/log/camlet/events.jsonl";

// The platform wrapper on a fresh root, with the timer service that delays
// undeclarations.
class SdkWrapperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }
    void TearDown() override {
        IntervalTimerObservable::deinitialize();
        sdk_wrapper_cleanup();
    }

    // The "op" of every line of the event log.
    std::vector<std::string> operations() const {
        std::vector<std::string> ops;
        for (const auto& line : root.readLines(kEventLog)) {
            json_t* entry = json_loads(line.c_str(), 0, nullptr);
            ops.emplace_back(json_string_value(json_object_get(entry, "op")));
            json_decref(entry);
        }
        return ops;
    }

    // Waits up to two seconds for the event log to hold exactly these operations.
    bool waitForOperations(const std::vector<std::string>& expected) const {
        return waitUntil([&] { return operations() == expected; }, 2000);
    }

    json_t* logEntry(size_t index) const {
        return json_loads(root.readLines(kEventLog).at(index).c_str(), 0, nullptr);
    }

    camlet::testing::TemporaryRoot root;
};

using Ops = std::vector<std::string>;

TEST_F(SdkWrapperTest, DeclaredTwiceAndRemovedTwiceIsUndeclaredOnce50msLater) {
    ASSERT_EQ(sdk_wrapper_event_add("Profile1", "Camera1Profile1", "Profile 1", SDK_EVENT_STATEFUL,
                                    nullptr),
              1);
    ASSERT_EQ(sdk_wrapper_event_add("Profile1", "Camera1Profile1", "Profile 1", SDK_EVENT_STATEFUL,
                                    nullptr),
              1);
    EXPECT_EQ(sdk_wrapper_event_remove("Profile1"), 1);
    g_usleep(150000);
    EXPECT_EQ(operations(), Ops{"declare"});

    EXPECT_EQ(sdk_wrapper_event_remove("Profile1"), 1);
    EXPECT_EQ(operations(), Ops{"declare"});  // not at once
    EXPECT_TRUE(waitForOperations({"declare", "undeclare"}))
        << testing::PrintToString(operations());
    EXPECT_EQ(sdk_wrapper_event_remove("Profile1"), 0);
}

TEST_F(SdkWrapperTest, RemovedAndDeclaredAgainWithin50msKeepsTheFirstDeclaration) {
    ASSERT_EQ(
        sdk_wrapper_event_add("Any", "AnyProfile", "Any Profile", SDK_EVENT_STATEFUL, nullptr), 1);
    ASSERT_EQ(sdk_wrapper_event_remove("Any"), 1);
    ASSERT_EQ(
        sdk_wrapper_event_add("Any", "AnyProfile", "Any Profile", SDK_EVENT_STATEFUL, nullptr), 1);
    g_usleep(150000);
    EXPECT_EQ(operations(), Ops{"declare"});
    EXPECT_EQ(sdk_wrapper_event_send("Any", 1, nullptr, nullptr), 1);
}

TEST_F(SdkWrapperTest, ConflictingRedeclarationIsRefusedAndLeavesTheFirst) {
    ASSERT_EQ(sdk_wrapper_event_add("P", "T", "Nice", SDK_EVENT_STATEFUL, nullptr), 1);
    EXPECT_EQ(sdk_wrapper_event_add("P", "T", "Nice", 0, nullptr), 0);
    EXPECT_EQ(sdk_wrapper_event_add("P", "T", "Nice", SDK_EVENT_STATEFUL, "data"), 0);
    EXPECT_EQ(operations(), Ops{"declare"});
    EXPECT_EQ(sdk_wrapper_event_remove("P"), 1);
    EXPECT_TRUE(waitForOperations({"declare", "undeclare"}))
        << testing::PrintToString(operations());
}

TEST_F(SdkWrapperTest, GenericDeclarationCarriesTopicsFlagsAndDataKey) {
    ASSERT_EQ(sdk_wrapper_event_add(
                  "VC", "VisualConfirmation", "Visual confirmation",
                  SDK_EVENT_APPLICATION_DATA | SDK_EVENT_QUIET_FIRST_SEND_FAILURES, "svgframe"),
              1);
    json_t* declaration = logEntry(0);
    EXPECT_TRUE(json_is_true(json_object_get(declaration, "stateless")));
    char* keys = json_dumps(json_object_get(declaration, "keys"), JSON_COMPACT);
    EXPECT_STREQ(
        keys,
        "[{\"key\":\"topic0\",\"namespace\":\"tnszelk\",\"type\":\"string\","
        "\"value\":\"CamletPlatform\"},"
        "{\"key\":\"topic1\",\"namespace\":\"tnszelk\",\"type\":\"string\","
        "\"value\":\"DwellwatchGuard\",\"niceNames\":[\"DwellwatchGuard\",\"Dwellwatch\"]},"
        "{\"key\":\"topic2\",\"namespace\":\"tnszelk\",\"type\":\"string\","
        "\"value\":\"VisualConfirmation\","
        "\"niceNames\":[\"VisualConfirmation\",\"Visual confirmation\"],"
        "\"tags\":[\"isApplicationData\"]},"
        "{\"key\":\"svgframe\",\"namespace\":null,\"type\":\"string\",\"value\":\"\","
        "\"data\":true}]");
    free(keys);
    json_decref(declaration);

    ASSERT_EQ(sdk_wrapper_event_send("VC", 0, "<svg/>", nullptr), 1);
    json_t* send = logEntry(1);
    char* values = json_dumps(json_object_get(send, "values"), JSON_COMPACT);
    EXPECT_STREQ(values, "{\"svgframe\":\"<svg/>\"}");
    free(values);
    json_decref(send);
}

TEST_F(SdkWrapperTest, SendTimesZeroNowAndMonotonic) {
    ASSERT_EQ(sdk_wrapper_event_add("P", "T", "Nice", SDK_EVENT_STATEFUL, nullptr), 1);
    const int64_t zero = 0;
    const int64_t oneSecondAgo = g_get_monotonic_time() - G_USEC_PER_SEC;
    const int64_t before = g_get_real_time();
    ASSERT_EQ(sdk_wrapper_event_send("P", 1, nullptr, &zero), 1);
    ASSERT_EQ(sdk_wrapper_event_send("P", 0, nullptr, nullptr), 1);
    ASSERT_EQ(sdk_wrapper_event_send("P", 1, nullptr, &oneSecondAgo), 1);
    const int64_t after = g_get_real_time();

    json_t* atZero = logEntry(1);
    json_t* now = logEntry(2);
    json_t* earlier = logEntry(3);
    EXPECT_EQ(json_integer_value(json_object_get(atZero, "time_us")), 0);
    EXPECT_TRUE(json_is_true(json_object_get(json_object_get(atZero, "values"), "active")));
    const json_int_t nowUs = json_integer_value(json_object_get(now, "time_us"));
    EXPECT_GE(nowUs, before);
    EXPECT_LE(nowUs, after);
    EXPECT_FALSE(json_is_true(json_object_get(json_object_get(now, "values"), "active")));
    EXPECT_NEAR(static_cast<double>(json_integer_value(json_object_get(earlier, "time_us"))),
                static_cast<double>(before - G_USEC_PER_SEC), 100000.0);
    json_decref(atZero);
    json_decref(now);
    json_decref(earlier);

    EXPECT_EQ(sdk_wrapper_event_send("Unknown", 1, nullptr, nullptr), 0);
}

TEST_F(SdkWrapperTest, OnvifEventsDeclareAndSendTheirKeys) {
    ASSERT_EQ(sdk_wrapper_event_add_onvif_motion_alarm_event("onvif1", 0, 0), 1);
    ASSERT_EQ(sdk_wrapper_event_add_onvif_motion_region_alarm_event("region1", "Profile 1", 1, 0),
              1);
    ASSERT_EQ(sdk_wrapper_onvif_motion_alarm_event_send("onvif1", 1, nullptr), 1);
    ASSERT_EQ(sdk_wrapper_onvif_motion_region_alarm_event_send("region1", 1, "Profile 1", nullptr),
              1);
    json_t* motion = logEntry(0);
    EXPECT_FALSE(json_is_true(json_object_get(motion, "stateless")));
    json_decref(motion);
    json_t* alarm = logEntry(2);
    char* values = json_dumps(json_object_get(alarm, "values"), JSON_COMPACT);
    EXPECT_STREQ(values, "{\"Source\":0,\"State\":true}");
    free(values);
    json_decref(alarm);
    json_t* region = logEntry(3);
    values = json_dumps(json_object_get(region, "values"), JSON_COMPACT);
    EXPECT_STREQ(values, "{\"VideoSource\":1,\"RuleName\":\"Profile 1\",\"State\":true}");
    free(values);
    json_decref(region);
}

TEST_F(SdkWrapperTest, CleanupUndeclaresEverythingIncludingPendingRemovals) {
    ASSERT_EQ(sdk_wrapper_event_add("A", "A", "A", 0, nullptr), 1);
    ASSERT_EQ(sdk_wrapper_event_add("B", "B", "B", 0, nullptr), 1);
    ASSERT_EQ(sdk_wrapper_event_remove("A"), 1);
    sdk_wrapper_cleanup();
    EXPECT_EQ(operations(), (Ops{"declare", "declare", "undeclare", "undeclare"}));
    EXPECT_EQ(sdk_wrapper_event_send("B", 1, nullptr, nullptr), 0);
}

TEST_F(SdkWrapperTest, ParameterReadsAreTruncatedToTheBuffer) {
    root.writeFile("/etc/camlet/parameters.conf", "root.Brand.ProdNbr=CL-1090-E\n");
    char small[4];
    EXPECT_STREQ(sdk_wrapper_param_get("root.Brand.ProdNbr", small, sizeof small), "CL-");
    char large[64] = "stale";
    EXPECT_STREQ(sdk_wrapper_param_get("root.Brand.ProdNbr", large, sizeof large), "CL-1090-E");
    EXPECT_STREQ(sdk_wrapper_param_get("root.Missing", large, sizeof large), "");
}

TEST(SdkWrapperWithoutInit, CallsFailCleanly) {
    camlet::testing::TemporaryRoot root;
    EXPECT_EQ(sdk_wrapper_event_add("P", "T", "Nice", 0, nullptr), 0);
    EXPECT_EQ(sdk_wrapper_event_send("P", 1, nullptr, nullptr), 0);
    EXPECT_EQ(sdk_wrapper_event_remove("P"), 0);
    char buffer[8] = "stale";
    EXPECT_STREQ(sdk_wrapper_param_get("root.Brand.ProdNbr", buffer, sizeof buffer), "");
}

}  // namespace
