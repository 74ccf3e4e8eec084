#include "scene/scene_reader.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "scene/scene_reader_result.h"
#include "temporary_root.h"
#include "unix_test_server.h"

namespace {

// Both ends of a connected stream socket: the reader's and the service's.
class SocketPair {
  public:
    SocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds); }
    ~SocketPair() {
        ::close(m_fds[0]);
        closeService();
    }
    int reader() const { return m_fds[0]; }
    int service() const { return m_fds[1]; }
    void send(const std::string& bytes) const { UnixTestServer::sendAll(service(), bytes); }
    void closeService() {
        if (m_fds[1] >= 0) {
            ::close(m_fds[1]);
            m_fds[1] = -1;
        }
    }

  private:
    int m_fds[2] = {-1, -1};
};

}  // namespace

TEST(SceneReaderResult, AcceptsExactlyVersionAndOk) {
    const SceneReaderResult plain("1.1 OK");
    EXPECT_TRUE(plain.ok());
    EXPECT_EQ(plain.version(), API_Version("1.1"));
    EXPECT_TRUE(SceneReaderResult("  1.1 OK  ").ok());

    const SceneReaderResult refused("1.0 NO");
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.version(), API_Version("1.0"));
    for (const char* answer : {"", "1.1", "OK", "1.1 OK extra", "1.1  OK", "1.1 ok"}) {
        const SceneReaderResult result(answer);
        EXPECT_FALSE(result.ok()) << answer;
    }
    EXPECT_FALSE(SceneReaderResult("1.1").version().isValid());
    EXPECT_FALSE(SceneReaderResult("").version().isValid());
}

TEST(SceneReader, RequestLineNamesTheBitsTheVersionSupports) {
    EXPECT_EQ(SceneReader::requestLine(14, 1, API_Version("1.1")), "1.1 OPEN 0 1 1 1 1\n");
    EXPECT_EQ(SceneReader::requestLine(14, 1, API_Version("1.0")), "1.0 OPEN 0 1 1 1\n");
    EXPECT_EQ(SceneReader::requestLine(9, 12, API_Version("1.1")), "1.1 OPEN 1 0 0 1 12\n");
}

TEST(SceneReader, HandshakeSendsTheRequestAndReadsTheAnswer) {
    SocketPair pair;
    pair.send(std::string("1.1 OK\0trailing", 15));
    const SceneReaderResult result =
        SceneReader::initialize(pair.reader(), 14, 2, API_Version("1.1"));
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(UnixTestServer::readLine(pair.service()), "1.1 OPEN 0 1 1 1 2");
}

TEST(SceneReader, HandshakeFailuresAreRefusals) {
    EXPECT_FALSE(SceneReader::initialize(-1, 14, 1, API_Version("1.1")).ok());

    SocketPair closedEarly;
    closedEarly.send("1.1 O");
    closedEarly.closeService();
    EXPECT_FALSE(SceneReader::initialize(closedEarly.reader(), 14, 1, API_Version("1.1")).ok());

    // A service that never terminates its answer: exactly 100 bytes are taken.
    SocketPair endless;
    endless.send("1.1 OK" + std::string(200, ' '));
    const SceneReaderResult result =
        SceneReader::initialize(endless.reader(), 14, 1, API_Version("1.1"));
    EXPECT_TRUE(result.ok());  // 100 bytes: "1.1 OK" and blanks, which are trimmed
    char rest[200];
    EXPECT_EQ(::recv(endless.reader(), rest, sizeof(rest), MSG_DONTWAIT), 106);
}

TEST(SceneReader, ReadsFramesAsTerminatedBuffers) {
    SocketPair pair;
    pair.send(UnixTestServer::frameHead(5) + "abcde" + UnixTestServer::frameHead(3) + "xyz");
    for (const char* expected : {"abcde", "xyz"}) {
        char* frame = nullptr;
        ASSERT_TRUE(SceneReader::readScene(pair.reader(), &frame));
        EXPECT_STREQ(frame, expected);
        std::free(frame);
    }
}

TEST(SceneReader, ImpossibleLengthsAndShortFramesFail) {
    char* frame = nullptr;
    EXPECT_FALSE(SceneReader::readScene(-1, &frame));
    for (int32_t length : {0, -1, SceneReader::kMaxFrameLength + 1, INT32_MAX}) {
        SocketPair pair;
        pair.send(UnixTestServer::frameHead(length) + "payload");
        EXPECT_FALSE(SceneReader::readScene(pair.reader(), &frame)) << length;
    }
    SocketPair shortPayload;
    shortPayload.send(UnixTestServer::frameHead(10) + "abc");
    shortPayload.closeService();
    EXPECT_FALSE(SceneReader::readScene(shortPayload.reader(), &frame));

    SocketPair shortHead;
    shortHead.send(std::string("\0\0\0\x05", 4));
    shortHead.closeService();
    EXPECT_FALSE(SceneReader::readScene(shortHead.reader(), &frame));
    EXPECT_EQ(frame, nullptr);
}

TEST(SceneReader, ConnectsToAListeningServiceOnly) {
    camlet::testing::TemporaryRoot root;
    const std::string path = root.path() + "/scenes";
    EXPECT_EQ(SceneReader::connect(path.c_str()), -1);

    UnixTestServer server(path);
    const int fd = SceneReader::connect(path.c_str());
    ASSERT_GE(fd, 0);
    const int accepted = server.accept();
    EXPECT_GE(accepted, 0);
    ::close(accepted);
    SceneReader::disconnect(fd);
    SceneReader::disconnect(-1);  // only logs
}
