#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>

#include "daemon_api_fixture.h"

namespace {

using camlet::testing::HttpConnection;
using camlet::testing::keepAliveRequest;
using camlet::testing::openDescriptors;
using dwtest::request;

// The daemon started with few descriptors to spare, as a busy camera has.
class DaemonApiConnections : public dwtest::DaemonApiFixture {
  protected:
    DaemonApiConnections() : DaemonApiFixture({SCENARIO_PATH, "--loop"}) {}

    void SetUp() override {
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        const rlimit low{64, limit.rlim_max};
        setrlimit(RLIMIT_NOFILE, &low);  // inherited by the daemon
        DaemonApiFixture::SetUp();
        setrlimit(RLIMIT_NOFILE, &limit);
    }
};

TEST_F(DaemonApiConnections, KeepAliveClientsAreAllAnsweredAndLeaveNoDescriptorBehind) {
    const std::string versions = request("getSupportedVersions");
    ASSERT_EQ(post(versions).status, 200);
    const pid_t daemon = m_daemon.daemonPid();
    const size_t before = openDescriptors(daemon);

    for (int i = 0; i < 500; ++i) {
        HttpConnection client(m_port);
        ASSERT_TRUE(client.isConnected()) << "connection " << i;
        ASSERT_TRUE(client.send(keepAliveRequest(dwtest::kCgiPath, versions)));
        ASSERT_EQ(client.receive().status, 200) << "request " << i;
    }
    EXPECT_TRUE(dwtest::waitUntil([&] { return openDescriptors(daemon) <= before; }, 5000))
        << openDescriptors(daemon) << " descriptors open, " << before << " before";
}

}  // namespace
