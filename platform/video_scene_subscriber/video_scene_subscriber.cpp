// Host stand-in of the scene subscriber library. Each subscriber connects to
// the scene simulator's subscriber socket, asks for its channel and contents,
// and delivers the frames it receives on a thread of its own.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "camlet_root.h"
#include "subscriber_protocol.h"
#include "video_scene_subscriber_api.h"

namespace {

constexpr unsigned kBoundingBox = 1;
constexpr unsigned kPolygon = 2;
constexpr unsigned kVelocity = 4;
constexpr unsigned kLowConfident = 8;

// What the delivery thread needs. Shared with the thread, so that a
// subscriber deleted from inside its own callback leaves the thread valid.
struct Delivery {
    explicit Delivery(int descriptor) : fd(descriptor) {}
    ~Delivery() { ::close(fd); }

    const int fd;
    std::atomic<bool> stopping{false};
    std::atomic<bool> ended{false};
    video_scene_subscriber_message_cb onMessage = nullptr;
    video_scene_subscriber_disconnect_cb onDisconnect = nullptr;
    void* userData = nullptr;
};

bool receiveExactly(int fd, void* buffer, size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    size_t received = 0;
    while (received < size) {
        const ssize_t result = ::recv(fd, bytes + received, size - received, 0);
        if (result > 0) {
            received += static_cast<size_t>(result);
        } else if (result < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// The next frame as a malloc'ed, NUL-terminated buffer; NULL when the link ended.
char* receiveFrame(int fd) {
    unsigned char head[4];
    if (!receiveExactly(fd, head, sizeof(head))) {
        return nullptr;
    }
    const uint32_t length = (uint32_t{head[0]} << 24) | (uint32_t{head[1]} << 16) |
                            (uint32_t{head[2]} << 8) | uint32_t{head[3]};
    if (length == 0 || length > scene_subscriber::kMaxFrameLength) {
        return nullptr;
    }
    auto* frame = static_cast<char*>(std::malloc(length + 1));
    if (frame == nullptr || !receiveExactly(fd, frame, length)) {
        std::free(frame);
        return nullptr;
    }
    frame[length] = '\0';
    return frame;
}

void deliver(std::shared_ptr<Delivery> delivery) {
    for (;;) {
        char* frame = receiveFrame(delivery->fd);
        if (frame == nullptr || delivery->stopping) {
            std::free(frame);
            break;
        }
        delivery->onMessage(frame, delivery->userData);
        if (delivery->stopping) {
            break;
        }
    }
    delivery->ended = true;
    if (!delivery->stopping && delivery->onDisconnect != nullptr) {
        delivery->onDisconnect(delivery->userData);
    }
}

int connectToService() {
    const std::string path = camlet::rootedPath(scene_subscriber::kServicePath);
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendRequest(int fd, int channel, unsigned contents) {
    const std::string line =
        "SUBSCRIBE " + std::to_string(channel) + " " + std::to_string(contents) + "\n";
    return ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size());
}

}  // namespace

struct video_scene_subscriber {
    int channel = 0;
    void* userData = nullptr;
    unsigned contents = 0;
    video_scene_subscriber_message_cb onMessage = nullptr;
    video_scene_subscriber_disconnect_cb onDisconnect = nullptr;
    std::shared_ptr<Delivery> delivery;
    std::thread thread;
    std::mutex mutex;

    bool subscribed() const { return thread.joinable() && !delivery->ended; }
};

namespace {

int setContent(video_scene_subscriber_st* subscriber, unsigned bit) {
    if (subscriber == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT;
    }
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    if (subscriber->subscribed()) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_STATE;
    }
    subscriber->contents |= bit;
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

template <typename Callback>
int setCallback(video_scene_subscriber_st* subscriber, Callback video_scene_subscriber::*member,
                Callback cb) {
    if (subscriber == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT;
    }
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    if (subscriber->subscribed()) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_STATE;
    }
    subscriber->*member = cb;
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

// Ends the delivery thread: joined, or detached when called from a callback
// on that very thread (which then ends as soon as the callback returns).
void stopDelivery(video_scene_subscriber_st* subscriber) {
    subscriber->delivery->stopping = true;
    ::shutdown(subscriber->delivery->fd, SHUT_RDWR);
    if (subscriber->thread.get_id() == std::this_thread::get_id()) {
        subscriber->thread.detach();
    } else {
        subscriber->thread.join();
    }
    subscriber->delivery.reset();
}

}  // namespace

extern "C" {

video_scene_subscriber_st* video_scene_subscriber_create(int channel, data_format_t format,
                                                         void* user_data) {
    if (channel < 0 || format != DATA_FORMAT_SCENE) {
        return nullptr;
    }
    auto* subscriber = new video_scene_subscriber;
    subscriber->channel = channel;
    subscriber->userData = user_data;
    return subscriber;
}

int video_scene_subscriber_delete(video_scene_subscriber_st* subscriber) {
    if (subscriber == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT;
    }
    {
        std::lock_guard<std::mutex> lock(subscriber->mutex);
        if (subscriber->thread.joinable()) {
            stopDelivery(subscriber);
        }
    }
    delete subscriber;
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_subscribe(video_scene_subscriber_st* subscriber) {
    if (subscriber == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT;
    }
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    if (subscriber->subscribed() || subscriber->onMessage == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_STATE;
    }
    if (subscriber->thread.joinable()) {
        stopDelivery(subscriber);  // the previous link was lost; start afresh
    }
    const int fd = connectToService();
    if (fd < 0) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_NO_PROVIDER;
    }
    auto delivery = std::make_shared<Delivery>(fd);
    if (!sendRequest(fd, subscriber->channel, subscriber->contents)) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_NO_PROVIDER;
    }
    delivery->onMessage = subscriber->onMessage;
    delivery->onDisconnect = subscriber->onDisconnect;
    delivery->userData = subscriber->userData;
    subscriber->delivery = delivery;
    subscriber->thread = std::thread(deliver, std::move(delivery));
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_unsubscribe(video_scene_subscriber_st* subscriber) {
    if (subscriber == nullptr) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_ARGUMENT;
    }
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    if (!subscriber->thread.joinable()) {
        return VIDEO_SCENE_SUBSCRIBER_ERR_STATE;
    }
    stopDelivery(subscriber);
    return VIDEO_SCENE_SUBSCRIBER_OK;
}

int video_scene_subscriber_set_on_disconnect_callback(video_scene_subscriber_st* subscriber,
                                                      video_scene_subscriber_disconnect_cb cb) {
    return setCallback(subscriber, &video_scene_subscriber::onDisconnect, cb);
}

int video_scene_subscriber_set_on_message_arrived_callback(video_scene_subscriber_st* subscriber,
                                                           video_scene_subscriber_message_cb cb) {
    return setCallback(subscriber, &video_scene_subscriber::onMessage, cb);
}

int video_scene_subscriber_set_bounding_box_enabled(video_scene_subscriber_st* subscriber) {
    return setContent(subscriber, kBoundingBox);
}

int video_scene_subscriber_set_polygon_enabled(video_scene_subscriber_st* subscriber) {
    return setContent(subscriber, kPolygon);
}

int video_scene_subscriber_set_velocity_enabled(video_scene_subscriber_st* subscriber) {
    return setContent(subscriber, kVelocity);
}

int video_scene_subscriber_set_low_confident_enabled(video_scene_subscriber_st* subscriber) {
    return setContent(subscriber, kLowConfident);
}

}  // extern "C"
