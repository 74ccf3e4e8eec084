#include <glib.h>
#include <gtest/gtest.h>
#include <jansson.h>
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

constexpr const char* kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";
constexpr const char* kEventLog = "/var/log/camlet/events.jsonl";

// The daemon on a fresh single-channel device whose package directory exists,
// as installation leaves it, with the simulator playing a scenario written
// by the test.
class StartupConfiguration : public ::testing::Test {
  protected:
    StartupConfiguration() {
        m_root.writeFile("/etc/camlet/parameters.conf",
                         "root.Properties.EmbeddedDevelopment.Version=2.16\n");
        m_root.writeFile("/usr/local/packages/dwellwatch/localdata/.keep", "");
    }

    // A person walks 2000 units into the middle of the view over 10 s (the
    // swaying filter accepts only objects that have moved) and stays there,
    // one frame every 500 ms, for the given time in all.
    void writeStayingPerson(int seconds) {
        std::string scenario;
        for (int i = 0; i <= seconds * 2; ++i) {
            const int x = -2000 + (i < 20 ? i : 20) * 100;
            scenario += "{\"t_us\":" + std::to_string(1000000 + i * 500000) +
                        ",\"objects\":[{\"id\":7,\"box\":[" + std::to_string(x - 300) + ",-600," +
                        std::to_string(x + 300) + ",600]}]}\n";
        }
        m_root.writeFile("/scenario.jsonl", scenario);
    }

    bool startDaemon() {
        return m_simulator.start() &&
               m_simulator.waitForFile(m_root.path() + "/var/run/bedrock/scene_subscriber") &&
               m_daemon.launch() == 0 && m_daemon.waitForLog("Dwellwatch started");
    }

    // Waits up to twenty seconds for the simulator to have sent the whole
    // scenario, and a little longer for the daemon to handle its last frames.
    bool waitForScenarioPlayed() const {
        const bool played = waitUntil(
            [&] {
                return m_root.readFile("/scenesim.log").find("every frame sent") !=
                       std::string::npos;
            },
            20000);
        g_usleep(300000);
        return played;
    }

    // Waits up to ten seconds for the event log to contain the text.
    bool waitForEvent(const std::string& text) const {
        return waitUntil([&] { return m_root.readFile(kEventLog).find(text) != std::string::npos; },
                         10000);
    }

    TemporaryRoot m_root;
    ServiceProcess m_simulator{SCENESIM_PATH,
                               {m_root.path() + "/scenario.jsonl", "--speed", "40"},
                               m_root.path() + "/scenesim.log"};
    DaemonProcess m_daemon{DWELLWATCH_PATH, m_root.path() + "/dwellwatch.log"};
};

TEST_F(StartupConfiguration, WritesTheDefaultDocumentAndAlarmsOnAPersonStayingOver120s) {
    writeStayingPerson(130);
    ASSERT_TRUE(startDaemon()) << m_daemon.log();

    const std::string stored = m_root.readFile(kConfigurationPath);
    json_t* document = json_loads(stored.c_str(), 0, nullptr);
    ASSERT_NE(document, nullptr) << stored;
    EXPECT_STREQ(json_string_value(json_object_get(document, "apiVersion")), "1.4");
    json_decref(document);
    EXPECT_NE(stored.find("[[-0.97, -0.97], [-0.97, 0.97], [0.97, 0.97], [0.97, -0.97]]"),
              std::string::npos)
        << stored;

    // The profile event starts once the person has stayed 120 s.
    EXPECT_TRUE(waitForEvent("\"values\":{\"active\":true}")) << m_root.readFile(kEventLog);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(StartupConfiguration, ShortStaysRaiseNothing) {
    writeStayingPerson(100);
    ASSERT_TRUE(startDaemon()) << m_daemon.log();
    ASSERT_TRUE(waitForEvent("\"op\":\"declare\""));
    ASSERT_TRUE(waitForScenarioPlayed()) << m_root.readFile("/scenesim.log");
    EXPECT_EQ(m_root.readFile(kEventLog).find("\"op\":\"send\""), std::string::npos)
        << m_root.readFile(kEventLog);
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(StartupConfiguration, AStoredDocumentThatDoesNotParseLeavesTheCamerasInactive) {
    const std::string broken = "{\"apiVersion\": \"1.4\", \"params\": {\"cameras\": 3}}";
    m_root.writeFile(kConfigurationPath, broken);
    writeStayingPerson(130);
    ASSERT_TRUE(startDaemon()) << m_daemon.log();
    g_usleep(4000000);

    EXPECT_EQ(m_root.readFile(kEventLog), "");               // no profile, no camera events
    EXPECT_EQ(m_root.readFile(kConfigurationPath), broken);  // the stored file is kept
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

}  // namespace
