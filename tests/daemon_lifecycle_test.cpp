#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "daemon_process.h"
#include "temporary_root.h"

namespace {

using camlet::testing::DaemonProcess;
using camlet::testing::TemporaryRoot;

TEST(DaemonLifecycle, DetachesLogsItsStartAndEndsOnSigterm) {
    TemporaryRoot root;
    root.writeFile("/etc/camlet/parameters.conf",
                   "root.Properties.EmbeddedDevelopment.Version=2.16\n");
    DaemonProcess daemon(DWELLWATCH_PATH, root.path() + "/dwellwatch.log");

    ASSERT_EQ(daemon.launch(), 0);
    ASSERT_TRUE(daemon.waitForLog("Dwellwatch started")) << daemon.log();
    const pid_t pid = daemon.daemonPid();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(getsid(pid), pid);  // a session of its own

    // Nothing is declared before cameras and profiles exist.
    EXPECT_EQ(root.readFile("/var/log/camlet/events.jsonl"), "");

    // Without a camera container there is nothing to shut down in order:
    // the termination request ends the process with status 1.
    EXPECT_EQ(daemon.terminate(SIGTERM), 1) << daemon.log();
}

}  // namespace
