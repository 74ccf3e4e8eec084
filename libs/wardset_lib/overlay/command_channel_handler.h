#pragma once

#include <string>

// The command channel of the graphics service: a stream socket on which each
// command is a JSON text with its terminating NUL, answered by one JSON text
// with its NUL of at most 512 bytes.
class CommandChannelHandler {
  public:
    // Asks the graphics service for a channel; throws std::runtime_error.
    CommandChannelHandler();
    // Takes over an open socket.
    explicit CommandChannelHandler(int socket);
    ~CommandChannelHandler();
    CommandChannelHandler(const CommandChannelHandler&) = delete;
    CommandChannelHandler& operator=(const CommandChannelHandler&) = delete;

    // The handle in the answer's "data" "buffer", -1 when the answer has none.
    int getBufferHandle(const std::string& command);
    // Throws std::runtime_error when the answer reports an error.
    void submitBuffer(const std::string& command);

    static std::string getBufferCommand(int overlayId);
    static std::string submitBufferCommand(int overlayId, int bufferHandle);

    static constexpr int kMaxAnswerSize = 512;

  private:
    // Sends the command and returns its answer without the NUL. Transport
    // failures and answers that are longer than kMaxAnswerSize or end
    // without their NUL throw std::runtime_error.
    std::string exchange(const std::string& command);
    void send(const std::string& command);
    std::string receive();

    int m_socket;
};
