// The daemon and its scene service, on both transports: a camera keeps up
// with a service that restarts, and shutdown does not wait for a service
// that has gone silent.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "daemon_process.h"
#include "service_process.h"
#include "temporary_root.h"
#include "wait_until.h"

namespace {

using camlet::testing::DaemonProcess;
using camlet::testing::ServiceProcess;
using camlet::testing::TemporaryRoot;
using camlet::testing::waitUntil;

constexpr const char* kEventLog = "/var/log/camlet/events.jsonl";

// Profile 1 on camera 1: an area over the middle of the image, no filters,
// an individual condition of 10 s.
constexpr const char* kDocument = R"({"apiVersion": "1.4", "params": {
    "cameras": [{"id": 1, "active": true, "rotation": 0}],
    "profiles": [{"name": "Entrance", "uid": 1, "camera": 1, "filters": [],
        "triggers": [{"type": "loiteringArea",
            "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
            "conditions": [{"type": "individual", "data": 10, "active": true}]}]}]}})";

// The same area with a group condition of 5 s instead.
constexpr const char* kGroupDocument = R"({"apiVersion": "1.4", "params": {
    "cameras": [{"id": 1, "active": true, "rotation": 0}],
    "profiles": [{"name": "Entrance", "uid": 1, "camera": 1, "filters": [],
        "triggers": [{"type": "loiteringArea",
            "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
            "conditions": [{"type": "group", "data": 5, "active": true}]}]}]}})";

// Frames every 250 ms up to the end (seconds); object 1 stands in the area
// until it leaves (never when leaving is 0).
std::string scenario(int leaving, int end) {
    std::string lines;
    for (int quarter = 0; quarter <= end * 4; ++quarter) {
        const bool present = quarter < leaving * 4;
        lines += "{\"t_us\":" + std::to_string(quarter * 250000) + ",\"objects\":[" +
                 (present ? "{\"id\":1,\"box\":[-300,-600,300,600]}" : "") + "]" +
                 (leaving > 0 && quarter == leaving * 4
                      ? ",\"events\":[{\"action\":\"delete\",\"ids\":[1]}]"
                      : "") +
                 "}\n";
    }
    return lines;
}

// The parameter is the platform version, which chooses the transport.
class SceneService : public ::testing::TestWithParam<const char*> {
  protected:
    SceneService() {
        m_root.writeFile(
            "/etc/camlet/parameters.conf",
            std::string("root.Properties.EmbeddedDevelopment.Version=") + GetParam() + "\n");
        m_root.writeFile("/usr/local/packages/dwellwatch/localdata/config.json", kDocument);
        m_root.writeFile("/empty.jsonl", scenario(0, 1));
        m_root.writeFile("/loiterer.jsonl", scenario(12, 18));
        m_root.writeFile("/stayer.jsonl", scenario(15, 14));  // stays to the end
        m_root.writeFile("/empty_6s.jsonl", scenario(0, 6));
    }

    // A simulator playing the scenario file once (at ten times its speed),
    // then keeping its streams open without a word.
    ServiceProcess simulator(const std::string& scenarioFile) const {
        return ServiceProcess(SCENESIM_PATH, {m_root.path() + scenarioFile, "--speed", "10"},
                              m_root.path() + "/scenesim.log");
    }

    bool waitForSockets(const ServiceProcess& service) const {
        return service.waitForFile(m_root.path() + "/var/run/bedrock/scenes") &&
               service.waitForFile(m_root.path() + "/var/run/bedrock/scene_subscriber");
    }

    // Waits up to ten seconds for the event log to contain the text.
    bool waitForEvent(const std::string& text) const {
        return waitUntil([&] { return m_root.readFile(kEventLog).find(text) != std::string::npos; },
                         10000);
    }

    TemporaryRoot m_root;
    DaemonProcess m_daemon{DWELLWATCH_PATH, m_root.path() + "/dwellwatch.log"};
};

TEST_P(SceneService, CamerasReceiveFramesAgainAfterTheServiceRestarts) {
    {
        ServiceProcess first = simulator("/empty.jsonl");
        ASSERT_TRUE(first.start() && waitForSockets(first));
        ASSERT_EQ(m_daemon.launch(), 0);
        ASSERT_TRUE(m_daemon.waitForLog("Dwellwatch started")) << m_daemon.log();
        g_usleep(300000);
    }  // the service goes away; the camera keeps trying
    g_usleep(500000);

    ServiceProcess second = simulator("/loiterer.jsonl");
    ASSERT_TRUE(second.start());
    EXPECT_TRUE(waitForEvent("\"values\":{\"active\":true}")) << m_root.readFile(kEventLog);
    EXPECT_TRUE(waitForEvent("\"values\":{\"active\":false}")) << m_root.readFile(kEventLog);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_P(SceneService, AGapInFramesWhileTheAreaStaysOccupiedCountsForTheGroupTime) {
    // Object 1 stands in the area; frames until 4 s, none until 11 s, then
    // frames until 14 s. The group time reaches 5 s at 11 s, not at 16 s.
    std::string lines;
    for (int quarter = 1; quarter <= 14 * 4; ++quarter) {
        if (quarter <= 4 * 4 || quarter >= 11 * 4) {
            lines += "{\"t_us\":" + std::to_string(quarter * 250000) +
                     ",\"objects\":[{\"id\":1,\"box\":[-300,-600,300,600]}]}\n";
        }
    }
    m_root.writeFile("/gap.jsonl", lines);
    m_root.writeFile("/usr/local/packages/dwellwatch/localdata/config.json", kGroupDocument);

    ServiceProcess service = simulator("/gap.jsonl");
    ASSERT_TRUE(service.start() && waitForSockets(service));
    ASSERT_EQ(m_daemon.launch(), 0);
    EXPECT_TRUE(waitForEvent("\"values\":{\"active\":true}")) << m_root.readFile(kEventLog);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_P(SceneService, AnAlarmEndsAfterARestartOfTheServiceWithEarlierSceneTimes) {
    {
        ServiceProcess first = simulator("/stayer.jsonl");
        ASSERT_TRUE(first.start() && waitForSockets(first));
        ASSERT_EQ(m_daemon.launch(), 0);
        ASSERT_TRUE(waitForEvent("\"values\":{\"active\":true}")) << m_root.readFile(kEventLog);
    }  // the service goes away with the person still in the area

    // The new service's times start from 0 again; nobody is there. The event
    // ends its minimum duration (3 s) after the first new frame.
    ServiceProcess second = simulator("/empty_6s.jsonl");
    ASSERT_TRUE(second.start());
    EXPECT_TRUE(waitForEvent("\"values\":{\"active\":false}")) << m_root.readFile(kEventLog);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_P(SceneService, SigtermEndsTheDaemonAtOnceWhileTheServiceIsSilent) {
    ServiceProcess service = simulator("/empty.jsonl");
    ASSERT_TRUE(service.start() && waitForSockets(service));
    ASSERT_EQ(m_daemon.launch(), 0);
    ASSERT_TRUE(m_daemon.waitForLog("Dwellwatch started")) << m_daemon.log();
    g_usleep(1000000);  // the scenario has played; the camera waits for more

    EXPECT_EQ(m_daemon.terminate(SIGTERM, 1500), 0) << m_daemon.log();
}

INSTANTIATE_TEST_SUITE_P(BothTransports, SceneService, ::testing::Values("2.14", "2.16"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param) == "2.14" ? "Socket" : "Subscriber";
                         });

}  // namespace
