#include "scene/scene_reader.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/retry_log.h"
#include "scene/mote_utils.h"

namespace {

constexpr size_t kHeaderFieldSize = 8;
constexpr size_t kMaxPathLength = sizeof(sockaddr_un::sun_path) - 1;

int32_t bigEndianInt32(const unsigned char* bytes) {
    const uint32_t value = (static_cast<uint32_t>(bytes[0]) << 24) |
                           (static_cast<uint32_t>(bytes[1]) << 16) |
                           (static_cast<uint32_t>(bytes[2]) << 8) | static_cast<uint32_t>(bytes[3]);
    return static_cast<int32_t>(value);
}

}  // namespace

int SceneReader::connect(const char* path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        logMessage(LOG_ERR, "Invalid scene descriptor: %i\n\n", fd);
        return fd;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, kMaxPathLength);
    address.sun_path[kMaxPathLength] = '\0';
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (result != 0) {
        logMessage(LOG_ERR, "Could not connect to service, result: %i\n\n", result);
        ::close(fd);
        return -1;
    }
    return fd;
}

void SceneReader::disconnect(int fd) {
    if (fd < 0) {
        logMessage(LOG_ERR, "Invalid scene descriptor: %i\n\n", fd);
        return;
    }
    ::close(fd);
}

std::string SceneReader::requestLine(int mask, int cameraId, const API_Version& version) {
    std::string line = version.text() + " OPEN";
    for (const unsigned bit : MoteUtils::kCapabilityBits) {
        if (MoteUtils::areCapabilitiesSupported(version, bit)) {
            line += (static_cast<unsigned>(mask) & bit) != 0 ? " 1" : " 0";
        }
    }
    return line + " " + std::to_string(cameraId) + "\n";
}

SceneReaderResult SceneReader::initialize(int fd, int mask, int cameraId,
                                          const API_Version& version) {
    if (fd < 0) {
        logMessage(LOG_ERR, "Invalid scene descriptor: %i\n\n", fd);
        return SceneReaderResult("");
    }
    const std::string request = requestLine(mask, cameraId, version);
    // MSG_NOSIGNAL: a service that went away must not kill the program.
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) <= 0) {
        return SceneReaderResult("");
    }
    return SceneReaderResult(readAnswer(fd));
}

std::string SceneReader::readAnswer(int fd) {
    char answer[kMaxAnswerLength] = {};
    for (size_t length = 0; length < kMaxAnswerLength; ++length) {
        if (!readFromSocket(fd, &answer[length], 1)) {
            logMessage(LOG_ERR, "Read failed\n");
            return std::string(answer, length);
        }
        if (answer[length] == '\0') {
            return std::string(answer, length);
        }
    }
    // The buffer holds no terminator: take exactly its bytes, never more.
    logMessage(LOG_ERR, "Reached max_len without match\n");
    return std::string(answer, kMaxAnswerLength);
}

bool SceneReader::readScene(int fd, char** out) {
    if (fd == -1) {
        return false;
    }
    unsigned char head[4 + kHeaderFieldSize];
    if (!readFromSocket(fd, head, sizeof(head))) {
        return false;
    }
    const int32_t length = bigEndianInt32(head);
    if (length <= 0 || length > kMaxFrameLength) {
        return false;
    }
    // One byte more than the payload: the frame is handed on as a text and
    // must be terminated even when the sender did not include a NUL.
    auto* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (buffer == nullptr) {
        return false;
    }
    if (!readFromSocket(fd, buffer, static_cast<size_t>(length))) {
        std::free(buffer);
        return false;
    }
    buffer[length] = '\0';
    *out = buffer;
    return true;
}

bool SceneReader::readFromSocket(int fd, void* buffer, size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    size_t received = 0;
    while (received < size) {
        const ssize_t result = ::recv(fd, bytes + received, size - received, 0);
        if (result > 0) {
            received += static_cast<size_t>(result);
        } else if (result == 0) {
            return false;
        } else if (result == -1 && errno == EINTR) {
            continue;
        } else if (result == -1) {
            logMessage(LOG_WARNING, "readFromSocket: Receive failed.\n");
            return false;
        } else {
            logMessage(LOG_WARNING, "readFromSocket: Something really unexpected.\n");
            return false;
        }
    }
    return true;
}
