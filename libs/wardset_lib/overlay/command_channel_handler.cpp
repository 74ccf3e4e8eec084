#include "overlay/command_channel_handler.h"

#include <jansson.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "overlay/graphics_service.h"

namespace {

// A peer that stops answering must not hold a frame forever.
constexpr int kAnswerTimeoutSeconds = 2;

struct JsonDecref {
    void operator()(json_t* json) const { json_decref(json); }
};
using JsonPtr = std::unique_ptr<json_t, JsonDecref>;

std::string command(const char* method, json_t* params) {
    const JsonPtr json(json_pack("{s:s, s:s, s:s, s:o}", "apiVersion", "1.0", "method", method,
                                 "context", "", "params", params));
    char* text = json_dumps(json.get(), JSON_COMPACT);
    std::string result(text);
    free(text);
    return result;
}

}  // namespace

CommandChannelHandler::CommandChannelHandler()
    : CommandChannelHandler(requestGraphicsDescriptor(
          "GetCommandChannel", "Failed to get command channel file descriptor")) {}

CommandChannelHandler::CommandChannelHandler(int socket) : m_socket(socket) {
    struct stat status = {};
    const timeval timeout = {kAnswerTimeoutSeconds, 0};
    if (fstat(m_socket, &status) != 0 || !S_ISSOCK(status.st_mode) ||
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0) {
        close(m_socket);
        throw std::runtime_error("Failed to create command channel socket");
    }
}

CommandChannelHandler::~CommandChannelHandler() {
    close(m_socket);
}

std::string CommandChannelHandler::getBufferCommand(int overlayId) {
    return command("getBuffer", json_pack("{s:i}", "overlayId", overlayId));
}

std::string CommandChannelHandler::submitBufferCommand(int overlayId, int bufferHandle) {
    return command("submitBuffer",
                   json_pack("{s:i, s:i}", "overlayId", overlayId, "buffer", bufferHandle));
}

int CommandChannelHandler::getBufferHandle(const std::string& command) {
    const std::string answer = exchange(command);
    const JsonPtr json(json_loads(answer.c_str(), 0, nullptr));
    const json_t* buffer = json_object_get(json_object_get(json.get(), "data"), "buffer");
    return json_is_integer(buffer) ? static_cast<int>(json_integer_value(buffer)) : -1;
}

void CommandChannelHandler::submitBuffer(const std::string& command) {
    const std::string answer = exchange(command);
    if (answer.find("error") != std::string::npos) {
        throw std::runtime_error("Error when submitting buffer: " + answer);
    }
}

std::string CommandChannelHandler::exchange(const std::string& command) {
    send(command);
    return receive();
}

void CommandChannelHandler::send(const std::string& command) {
    const ssize_t sent = ::send(m_socket, command.c_str(), command.size() + 1, MSG_NOSIGNAL);
    if (sent < 0) {
        throw std::runtime_error("Failed to submit the buffer");
    }
    if (static_cast<std::size_t>(sent) != command.size() + 1) {
        throw std::runtime_error("Command channel socket could not send all data");
    }
}

std::string CommandChannelHandler::receive() {
    // A stream socket may hand over one answer in parts: read until its NUL,
    // never beyond the answer's largest size.
    char answer[kMaxAnswerSize];
    std::size_t length = 0;
    while (length < sizeof answer) {
        const ssize_t bytesRead = recv(m_socket, answer + length, sizeof answer - length, 0);
        if (bytesRead < 0) {
            throw std::runtime_error("Failed to submit the buffer, no response after submitting");
        }
        if (bytesRead == 0) {
            throw std::runtime_error("bytesRead <= 0");
        }
        const void* end = std::memchr(answer + length, '\0', static_cast<std::size_t>(bytesRead));
        length += static_cast<std::size_t>(bytesRead);
        if (end != nullptr) {
            if (static_cast<const char*>(end) != answer + length - 1) {
                throw std::runtime_error("Command channel answer followed by unexpected data");
            }
            return std::string(answer, length - 1);
        }
    }
    throw std::runtime_error("Command channel answer longer than 512 bytes");
}
