#pragma once

// Tests of the daemon's JSON API over HTTP: the daemon as a process on the
// callback transport, serving its API on a free port, with the scene
// simulator beside it; requests, answers and polling helpers. Header-only:
// the program paths come from the test's own compile definitions.
#include <gtest/gtest.h>
#include <jansson.h>
#include <stdlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "daemon_process.h"
#include "http_test_client.h"
#include "service_process.h"
#include "temporary_root.h"
#include "wait_until.h"

namespace dwtest {

struct JsonDeleter {
    void operator()(json_t* value) const { json_decref(value); }
};
using Json = std::unique_ptr<json_t, JsonDeleter>;

constexpr const char* kCgiPath = "/local/dwellwatch/control.cgi";
constexpr const char* kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";
constexpr const char* kEventLogPath = "/var/log/camlet/events.jsonl";

// A request of the current API version.
inline std::string request(const std::string& method, const std::string& params = "{}") {
    return R"({"apiVersion": "1.4", "method": ")" + method + R"(", "params": )" + params + "}";
}

// The answer's error code; "none" for a success.
inline std::string errorCode(const json_t* answer) {
    const char* code = json_string_value(json_object_get(json_object_get(answer, "error"), "code"));
    return code != nullptr ? code : "none";
}

// Compact JSON text in document order; "null" for null.
inline std::string dump(const json_t* value) {
    if (value == nullptr) {
        return "null";
    }
    char* text = json_dumps(value, JSON_COMPACT | JSON_PRESERVE_ORDER);
    std::string result = text != nullptr ? text : "";
    free(text);
    return result;
}

// Polls every 50 ms until done() holds: these conditions read the whole
// event log, which grows with every frame. False when the time-out passed first.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    return camlet::testing::waitUntil(done, timeoutMs, 50000);
}

// A single-channel camera of platform version 2.16 with the daemon and the
// simulator (started with simulatorArguments) running in a fresh root.
class DaemonApiFixture : public ::testing::Test {
  protected:
    explicit DaemonApiFixture(std::vector<std::string> simulatorArguments)
        : m_simulator(SCENESIM_PATH, std::move(simulatorArguments),
                      m_root.path() + "/scenesim.log") {}

    void SetUp() override {
        m_port = camlet::testing::unusedPort();
        setenv("CAMLET_HTTP_PORT", std::to_string(m_port).c_str(), 1);
        m_root.writeFile("/etc/camlet/parameters.conf",
                         "root.Properties.EmbeddedDevelopment.Version=2.16\n"
                         "root.Brand.ProdNbr=CL-1010\n"
                         "ImageSource.I0.Sensor.AspectRatio=16:9\n"
                         "root.Properties.Image.Resolution=1920x1080,1280x720,640x360\n");
        // The package's data directory, as installed on the camera.
        m_root.writeFile("/usr/local/packages/dwellwatch/localdata/.keep", "");
        ASSERT_TRUE(m_simulator.start());
        ASSERT_TRUE(m_simulator.waitForFile(m_root.path() + "/var/run/bedrock/scenes"));
        ASSERT_EQ(m_daemon.launch(), 0);
        ASSERT_TRUE(waitUntil(
            [this] { return camlet::testing::HttpConnection(m_port).isConnected(); }, 5000))
            << m_daemon.log();
    }

    camlet::testing::HttpReply post(const std::string& body) const {
        return camlet::testing::sendRequest(m_port,
                                            camlet::testing::httpRequest("POST", kCgiPath, body));
    }

    // The decoded answer; null (and a failure) when there is none.
    Json ask(const std::string& body) const {
        const camlet::testing::HttpReply reply = post(body);
        EXPECT_EQ(reply.status, 200) << body;
        EXPECT_EQ(reply.headers.count("content-type") ? reply.headers.at("content-type") : "",
                  "application/json");
        Json answer(json_loads(reply.body.c_str(), 0, nullptr));
        EXPECT_TRUE(answer) << reply.body;
        return answer;
    }

    camlet::testing::TemporaryRoot m_root;
    uint16_t m_port = 0;
    camlet::testing::ServiceProcess m_simulator;
    camlet::testing::DaemonProcess m_daemon{DWELLWATCH_PATH, m_root.path() + "/dwellwatch.log"};
};

}  // namespace dwtest
