#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "daemon_process.h"
#include "service_process.h"
#include "temporary_root.h"

namespace {

using camlet::testing::DaemonProcess;
using camlet::testing::ServiceProcess;
using camlet::testing::TemporaryRoot;

// The daemon under a fresh platform root, with the scene simulator playing
// the example scenario under the same root.
class DaemonLifecycle : public ::testing::Test {
  protected:
    void writeParameters(const std::string& platformVersion) {
        m_root.writeFile("/etc/camlet/parameters.conf",
                         "root.Properties.EmbeddedDevelopment.Version=" + platformVersion + "\n");
    }

    bool startSimulator() {
        return m_simulator.start() &&
               m_simulator.waitForFile(m_root.path() + "/var/run/bedrock/scenes");
    }

    TemporaryRoot m_root;
    ServiceProcess m_simulator{
        SCENESIM_PATH, {SCENARIO_PATH, "--loop"}, m_root.path() + "/scenesim.log"};
    DaemonProcess m_daemon{DWELLWATCH_PATH, m_root.path() + "/dwellwatch.log"};
};

TEST_F(DaemonLifecycle, DetachesLogsItsStartAndEndsOnSigtermAfterAnOrderlyShutdown) {
    writeParameters("2.16");  // the subscriber library's transport
    ASSERT_TRUE(startSimulator());

    ASSERT_EQ(m_daemon.launch(), 0);
    ASSERT_TRUE(m_daemon.waitForLog("Dwellwatch started")) << m_daemon.log();
    const pid_t pid = m_daemon.daemonPid();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(getsid(pid), pid);  // a session of its own

    // The default configuration's profile is declared.
    EXPECT_NE(m_root.readFile("/var/log/camlet/events.jsonl").find("\"op\":\"declare\""),
              std::string::npos);

    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(DaemonLifecycle, StartUpWaitsUntilTheSceneServiceIsReachable) {
    writeParameters("2.14");  // the scene service socket
    ASSERT_EQ(m_daemon.launch(), 0);
    usleep(500000);
    EXPECT_EQ(m_daemon.log().find("Dwellwatch started"), std::string::npos) << m_daemon.log();

    ASSERT_TRUE(startSimulator());
    ASSERT_TRUE(m_daemon.waitForLog("Dwellwatch started")) << m_daemon.log();
    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(DaemonLifecycle, SigtermWhileStartUpWaitsForTheSceneServiceEndsTheDaemonWithStatusZero) {
    writeParameters("2.14");  // no scene service will come
    ASSERT_EQ(m_daemon.launch(), 0);
    usleep(300000);

    EXPECT_EQ(m_daemon.terminate(SIGTERM, 1000), 0) << m_daemon.log();
    EXPECT_EQ(m_daemon.log().find("Dwellwatch started"), std::string::npos) << m_daemon.log();
}

}  // namespace
