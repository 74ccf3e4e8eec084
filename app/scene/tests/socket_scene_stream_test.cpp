#include "scene/socket_scene_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "temporary_root.h"
#include "unix_test_server.h"

namespace {

const char* const kSceneVersions[] = {"1.0", "1.1"};

// A scene service that speaks only its own version: it accepts requests of
// that version and refuses the others, naming its version.
class VersionedService {
  public:
    VersionedService(const std::string& path, std::string version, int connections)
        : m_server(path), m_version(std::move(version)) {
        m_thread = std::thread([this, connections] { serve(connections); });
    }
    ~VersionedService() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    // The request lines received, after the service has served all connections.
    const std::vector<std::string>& requests() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_requests;
    }

  private:
    void serve(int connections) {
        for (int i = 0; i < connections; ++i) {
            const int fd = m_server.accept();
            if (fd < 0) {
                return;
            }
            const std::string request = UnixTestServer::readLine(fd);
            m_requests.push_back(request);
            const bool accepted = request.rfind(m_version + " ", 0) == 0;
            const std::string answer = m_version + (accepted ? " OK" : " NO");
            UnixTestServer::sendAll(fd, std::string(answer.c_str(), answer.size() + 1));
            if (accepted) {
                UnixTestServer::sendAll(fd, UnixTestServer::frameHead(2) + "f" + '\0');
            }
            ::close(fd);
        }
    }

    UnixTestServer m_server;
    std::string m_version;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

class SocketSceneStreamTest : public ::testing::Test {
  protected:
    camlet::testing::TemporaryRoot m_root;
    API_VersionHandler m_versions{kSceneVersions, 2};
};

}  // namespace

TEST_F(SocketSceneStreamTest, ServiceOfTheHighestVersionAcceptsAtOnce) {
    VersionedService service(SocketSceneStream::defaultServicePath(), "1.1", 1);
    SocketSceneStream stream(3, m_versions);
    int mask = 14;
    ASSERT_TRUE(stream.open(mask));
    EXPECT_EQ(mask, 14);
    EXPECT_EQ(stream.negotiatedVersion(), API_Version("1.1"));
    char* frame = nullptr;
    ASSERT_TRUE(stream.readScene(&frame));
    EXPECT_STREQ(frame, "f");
    std::free(frame);
    EXPECT_EQ(service.requests(), std::vector<std::string>{"1.1 OPEN 0 1 1 1 3"});
}

TEST_F(SocketSceneStreamTest, OlderServiceIsRetriedWithItsVersionOnANewConnection) {
    VersionedService service(SocketSceneStream::defaultServicePath(), "1.0", 3);
    SocketSceneStream stream(1, m_versions);
    int mask = 14;
    ASSERT_TRUE(stream.open(mask));
    EXPECT_EQ(mask, 6);
    EXPECT_EQ(stream.negotiatedVersion(), API_Version("1.0"));

    stream.reconnect(mask);  // keeps the negotiated version
    EXPECT_EQ(
        service.requests(),
        (std::vector<std::string>{"1.1 OPEN 0 1 1 1 1", "1.0 OPEN 0 1 1 1", "1.0 OPEN 0 1 1 1"}));
}

TEST_F(SocketSceneStreamTest, NewerOnlyServiceIsAFailure) {
    VersionedService service(SocketSceneStream::defaultServicePath(), "2.0", 3);
    SocketSceneStream stream(1, m_versions);
    int mask = 14;
    EXPECT_FALSE(stream.open(mask));
    EXPECT_EQ(mask, 14);
    EXPECT_EQ(stream.descriptor(), -1);
    // 2.0 admits both listed versions: 1.1 is asked twice, then 1.0.
    EXPECT_EQ(
        service.requests(),
        (std::vector<std::string>{"1.1 OPEN 0 1 1 1 1", "1.1 OPEN 0 1 1 1 1", "1.0 OPEN 0 1 1 1"}));
}

TEST_F(SocketSceneStreamTest, MissingServiceIsAFailure) {
    SocketSceneStream stream(1, m_versions);
    int mask = 14;
    EXPECT_FALSE(stream.open(mask));
    char* frame = nullptr;
    EXPECT_FALSE(stream.readScene(&frame));
}
