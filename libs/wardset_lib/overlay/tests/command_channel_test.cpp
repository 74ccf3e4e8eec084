#include "overlay/command_channel_handler.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// The handler on one end of a socket pair; the test answers on the other.
class CommandChannelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        channel = std::make_unique<CommandChannelHandler>(ends[0]);
        peer = ends[1];
    }
    void TearDown() override { close(peer); }

    // Reads one command up to its NUL, then sends the answer pieces.
    void answerWith(std::initializer_list<std::string> pieces) {
        std::string command;
        char byte = 1;
        while (byte != '\0' && read(peer, &byte, 1) == 1) {
            command += byte;
        }
        received = command;
        for (const std::string& piece : pieces) {
            ASSERT_EQ(write(peer, piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
        }
    }

    std::unique_ptr<CommandChannelHandler> channel;
    int peer = -1;
    std::string received;
};

TEST_F(CommandChannelTest, CommandsGoWithTheirNulAndAnswersAreReadToTheirs) {
    std::thread service([this] {
        answerWith({R"({"data":{"buf)", std::string(R"(fer":4096}})") + '\0'});
    });
    EXPECT_EQ(channel->getBufferHandle(CommandChannelHandler::getBufferCommand(7)), 4096);
    service.join();
    EXPECT_EQ(received, std::string(R"({"apiVersion":"1.0","method":"getBuffer","context":"",)"
                                    R"("params":{"overlayId":7}})") +
                            '\0');

    service = std::thread([this] { answerWith({std::string(R"({"data":{}})") + '\0'}); });
    EXPECT_EQ(channel->getBufferHandle(CommandChannelHandler::getBufferCommand(7)), -1);
    service.join();
}

TEST_F(CommandChannelTest, ErrorsLongAndUnterminatedAnswersFailTheSubmit) {
    const std::string submit = CommandChannelHandler::submitBufferCommand(7, 4096);
    const auto failsWith = [&](std::initializer_list<std::string> pieces, bool closeAfter,
                               const std::string& text) {
        std::thread service([&] {
            answerWith(pieces);
            if (closeAfter) {
                shutdown(peer, SHUT_WR);
            }
        });
        try {
            channel->submitBuffer(submit);
            ADD_FAILURE() << "no failure for " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(text), std::string::npos) << error.what();
        }
        service.join();
    };
    failsWith({std::string(R"({"error":{"code":2003}})") + '\0'}, false,
              "Error when submitting buffer: ");
    failsWith({std::string(600, 'x') + '\0'}, false, "longer than 512 bytes");
    // Unterminated: the peer closes the channel before the NUL.
    TearDown();
    SetUp();
    failsWith({"{\"data\":{}}"}, true, "bytesRead <= 0");
}

}  // namespace
