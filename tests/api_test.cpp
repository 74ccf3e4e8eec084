#include <gtest/gtest.h>
#include <jansson.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "daemon_api_fixture.h"

namespace {

using camlet::testing::HttpReply;
using dwtest::dump;
using dwtest::errorCode;
using dwtest::Json;
using dwtest::kConfigurationPath;
using dwtest::kEventLogPath;
using dwtest::request;
using dwtest::waitUntil;

std::string profile(int uid, int individualSeconds = 10) {
    return R"({"name": "Profile )" + std::to_string(uid) + R"(", "uid": )" + std::to_string(uid) +
           R"(, "camera": 1, "filters": [], "alarmOverlayEnabled": false,
              "triggers": [{"type": "loiteringArea",
                "data": [[-0.9, -0.9], [-0.9, 0.9], [0.9, 0.9], [0.9, -0.9]],
                "conditions": [{"type": "individual", "data": )" +
           std::to_string(individualSeconds) + R"(, "active": true}]}]})";
}

std::string setRequest(const std::string& version, const std::string& profiles,
                       const std::string& cameraExtra = "") {
    return R"({"apiVersion": ")" + version +
           R"(", "method": "setConfiguration", "params": {"cameras": [{"id": 1, "active": true, "rotation": 0)" +
           cameraExtra + R"(}], "profiles": [)" + profiles + "]}}";
}

// The "active" value of a send; false when there is none.
bool activeValue(const json_t* values) {
    return json_is_true(json_object_get(values, "active"));
}

// The daemon with the scene simulator playing the example scenario.
class DaemonApi : public dwtest::DaemonApiFixture {
  protected:
    DaemonApi() : DaemonApiFixture({SCENARIO_PATH, "--loop"}) {}

    json_int_t storedConfigurationStatus() const {
        Json stored(json_loads(m_root.readFile(kConfigurationPath).c_str(), 0, nullptr));
        return json_integer_value(
            json_object_get(json_object_get(stored.get(), "params"), "configurationStatus"));
    }

    // Times (µs) of the sends of a profile's event with the active value.
    std::vector<json_int_t> eventSends(const std::string& eventName, bool active) const {
        std::vector<json_int_t> declarations;
        std::vector<json_int_t> times;
        for (const std::string& line : m_root.readLines(kEventLogPath)) {
            Json entry(json_loads(line.c_str(), 0, nullptr));
            const std::string op = json_string_value(json_object_get(entry.get(), "op"));
            const json_int_t id = json_integer_value(json_object_get(entry.get(), "id"));
            if (op == "declare" && dump(entry.get()).find(eventName) != std::string::npos) {
                declarations.push_back(id);
            } else if (op == "send" && !declarations.empty() && id == declarations.back() &&
                       activeValue(json_object_get(entry.get(), "values")) == active) {
                times.push_back(json_integer_value(json_object_get(entry.get(), "time_us")));
            }
        }
        return times;
    }
};

TEST_F(DaemonApi, EveryMethodAndEnvelopeOverHttp) {
    // The default document is stored at start-up.
    Json got = ask(request("getConfiguration"));
    const json_t* status =
        json_object_get(json_object_get(got.get(), "data"), "configurationStatus");
    ASSERT_TRUE(json_is_integer(status)) << dump(got.get());
    EXPECT_EQ(json_integer_value(status), 0);

    EXPECT_EQ(dump(json_object_get(ask(request("getSupportedVersions")).get(), "data")),
              R"({"apiVersions":["1.0","1.1","1.2","1.3","1.4"]})");
    Json capabilities = ask(request("getConfigurationCapabilities"));
    EXPECT_EQ(dump(json_object_get(json_object_get(capabilities.get(), "data"), "profiles")),
              R"({"minNbrProfilesPerCamera":0,"maxNbrProfilesPerCamera":10,)"
              R"("minLengthName":1,"maxLengthName":15})");

    // Envelopes.
    EXPECT_EQ(errorCode(ask(R"({"apiVersion": "1.4", "method": "getConf)").get()), "2001");
    Json noMethod = ask(R"({"apiVersion": "1.4"})");
    EXPECT_EQ(errorCode(noMethod.get()), "2003");
    EXPECT_EQ(dump(noMethod.get()).rfind(R"({"apiVersion":"1.4","method":"","context":"")", 0), 0u);
    EXPECT_EQ(errorCode(ask(R"({"method": "getConfiguration"})").get()), "2003");
    EXPECT_EQ(errorCode(ask(R"({"apiVersion": "1.9", "method": "getConfiguration"})").get()),
              "2000");
    Json older = ask(R"({"apiVersion": "1.2", "method": "getSupportedVersions", "context": "x"})"
                     " trailing } bytes");
    EXPECT_EQ(
        dump(older.get())
            .rfind(R"({"apiVersion":"1.4","method":"getSupportedVersions","context":"x","data":)",
                   0),
        0u);
    EXPECT_EQ(errorCode(ask(request("missingMethod")).get()), "2003");
    EXPECT_EQ(errorCode(ask(request("formatDisk")).get()), "2005");
    EXPECT_EQ(errorCode(ask("{\"apiVersion\": \"1.4\", \"method\": \"\xff\"}").get()), "2001");
    EXPECT_EQ(errorCode(ask(std::string(3000, '[') + std::string(3000, ']')).get()), "2001");

    // Two sets raise the stored status by two; an invalid third profile
    // changes nothing.
    EXPECT_EQ(
        errorCode(ask(setRequest("1.4", profile(1), R"(, "overlayResolution": "1280x720")")).get()),
        "none");
    EXPECT_EQ(errorCode(ask(setRequest("1.4", profile(1) + ", " + profile(2),
                                       R"(, "overlayResolution": "1280x720")"))
                            .get()),
              "none");
    EXPECT_EQ(storedConfigurationStatus(), 2);
    const std::string before = m_root.readFile(kConfigurationPath);
    EXPECT_EQ(
        errorCode(
            ask(setRequest("1.4", profile(1) + ", " + profile(2) + ", " + profile(3, 9999))).get()),
        "2004");
    EXPECT_EQ(m_root.readFile(kConfigurationPath), before);
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 2})")).get()), "none");
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 3})")).get()), "2004");

    // Older versions: 1.2 keeps the stored overlay resolution, 1.0 too.
    EXPECT_EQ(
        errorCode(ask(setRequest("1.2", profile(1), R"(, "overlayResolution": "640x360")")).get()),
        "none");
    EXPECT_EQ(errorCode(ask(setRequest("1.0", profile(1))).get()), "none");
    Json stored(json_loads(m_root.readFile(kConfigurationPath).c_str(), 0, nullptr));
    EXPECT_STREQ(json_string_value(json_object_get(stored.get(), "apiVersion")), "1.4");
    const json_t* camera =
        json_array_get(json_object_get(json_object_get(stored.get(), "params"), "cameras"), 0);
    EXPECT_STREQ(json_string_value(json_object_get(camera, "overlayResolution")), "1280x720");
    EXPECT_EQ(storedConfigurationStatus(), 4);

    EXPECT_EQ(errorCode(ask(request("startMotionLevel")).get()), "2005");
    EXPECT_EQ(errorCode(ask(request("stopMotionLevel")).get()), "2005");
    EXPECT_EQ(errorCode(ask(request("startVisualConfirmation",
                                    R"({"profile": 1, "transform": [1,0,0,0,1,0,0,0,1]})"))
                            .get()),
              "none");
    EXPECT_EQ(errorCode(ask(request("stopVisualConfirmation")).get()), "none");

    // A test alarm on profile 1 lasts the minimum event duration (3 s).
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 1})")).get()), "none");
    std::vector<json_int_t> starts;
    std::vector<json_int_t> ends;
    for (int i = 0; i < 100 && ends.empty(); ++i) {
        usleep(100000);
        starts = eventSends("Camera1Profile1", true);
        ends = eventSends("Camera1Profile1", false);
    }
    ASSERT_EQ(starts.size(), 1u) << m_root.readFile(kEventLogPath);
    ASSERT_EQ(ends.size(), 1u) << m_root.readFile(kEventLogPath);
    EXPECT_GE(ends[0] - starts[0], 3000000);
    EXPECT_LT(ends[0] - starts[0], 4500000);

    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(DaemonApi, ConcurrentSetsAreSerialisedAndShutdownLetsTheRunningOneFinish) {
    constexpr int kClients = 4;
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&] {
            while (!stop) {
                const HttpReply reply = post(setRequest("1.4", profile(1) + ", " + profile(2)));
                if (reply.status == 200 && reply.body.find("\"data\":{}") != std::string::npos) {
                    ++answered;
                } else if (reply.status == 200) {
                    ADD_FAILURE() << reply.body;
                }
            }
        });
    }
    const bool enoughAnswers = waitUntil([&] { return answered >= 20; }, 30000);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
    stop = true;
    for (std::thread& client : clients) {
        client.join();
    }
    ASSERT_TRUE(enoughAnswers) << m_daemon.log();
    // Every answered set was stored, none twice, none half.
    EXPECT_EQ(storedConfigurationStatus(), answered.load());

    // After shutdown nothing answers.
    EXPECT_EQ(post(request("getConfiguration")).status, 0);
}

}  // namespace
