// Plays arbitrary bytes as a scene service: the reader hand-shakes, then
// reads frames until the stream fails.

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scene/scene_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
        return 0;
    }
    // Everything the service says is queued before the reader starts; the
    // service end stays open for receiving the request line.
    int buffer = 1 << 22;
    ::setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof(buffer));
    if (size > 0 && ::send(fds[1], data, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size)) {
        ::close(fds[0]);
        ::close(fds[1]);
        return 0;
    }
    ::shutdown(fds[1], SHUT_WR);

    const SceneReaderResult answer = SceneReader::initialize(fds[0], 14, 1, API_Version("1.1"));
    (void)answer.ok();
    char* frame = nullptr;
    while (SceneReader::readScene(fds[0], &frame)) {
        (void)std::strlen(frame);  // must be terminated
        std::free(frame);
    }
    ::close(fds[0]);
    ::close(fds[1]);
    return 0;
}
