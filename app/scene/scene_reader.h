#pragma once

#include <cstddef>
#include <cstdint>

#include "base/api_version.h"
#include "scene/scene_reader_result.h"

// The socket transport to the scene service: connect, handshake and frame
// reading on a Unix stream socket. Each descriptor is used by one thread.
class SceneReader {
  public:
    // The largest payload a frame may announce. A scene frame of the most
    // objects the service tracks stays far below it; anything larger is a
    // corrupt or hostile stream, not a frame.
    static constexpr int32_t kMaxFrameLength = 4 * 1024 * 1024;
    // The largest handshake answer.
    static constexpr size_t kMaxAnswerLength = 100;

    // A connected descriptor, or -1 (after logging).
    static int connect(const char* path);
    static void disconnect(int fd);
    // Sends the request line for the version, mask and camera and reads the answer.
    static SceneReaderResult initialize(int fd, int mask, int cameraId, const API_Version& version);
    // Reads one frame. On success *out is a malloc'ed, NUL-terminated buffer
    // holding the payload, which the caller frees.
    static bool readScene(int fd, char** out);

    // The handshake request line, for example "1.1 OPEN 0 1 1 1 1\n".
    static std::string requestLine(int mask, int cameraId, const API_Version& version);

  private:
    static bool readFromSocket(int fd, void* buffer, size_t size);
    static std::string readAnswer(int fd);
};
