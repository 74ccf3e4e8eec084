#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace overlaysim {

// A video stream of the graphics service.
struct StreamInfo {
    int id = 1;
    int camera = 1;
    std::string type = "h264";
    int width = 1920;
    int height = 1080;
    int rotation = 0;
    bool mirror = false;
};

// An overlay of another application.
struct OverlayInfo {
    int id = 100;
    std::string type = "textoverlay";
    std::string position = "top";
    std::string size = "1920x40";
    bool scalable = false;
    int camera = 1;
};

// An overlay made through the factory, as the service keeps it.
struct CreatedOverlay {
    int id;
    std::string path;
    int stream;
    std::string size;
    std::string position;
    bool visible;
    int submits;
    std::vector<unsigned char> lastBuffer;  // the whole buffer as last submitted
};

// The camera's graphics and overlay services on a message bus: streams and
// other applications' overlays (changed by the owner), the overlay factory,
// the palette, the camera device (a file under the platform root) and the
// command channels. Every call is appended to a JSON-lines log, and submitted
// buffers are written as pictures at most twice a second. Serves on a thread
// of its own.
class OverlayService {
  public:
    // Owns "com.zelk.Graphics1" and "com.zelk.Overlay2" on the bus at
    // `busAddress`; throws std::runtime_error.
    explicit OverlayService(const std::string& busAddress);
    ~OverlayService();
    OverlayService(const OverlayService&) = delete;
    OverlayService& operator=(const OverlayService&) = delete;

    void addStream(const StreamInfo& stream);
    void removeStream(int streamId);
    void addOverlay(const OverlayInfo& overlay);
    // Empty texts stay as they are.
    void changeOverlay(int overlayId, const std::string& position, const std::string& size);
    void removeOverlay(int overlayId);

    // Faults.
    void answerNextSubmitWithError();
    void answerNextGetBufferWithoutBuffer();
    void failNextCreateOverlay();
    void refuseCommandChannels(bool refuse);
    // Drops an overlay made through the factory, as the service may.
    void dropCreatedOverlay(int overlayId);
    void closeCommandChannels();
    // Drops the bus connection, the overlays made through the factory and the
    // palette, and comes back under a new connection.
    void restart();

    std::vector<std::string> calls() const;  // the log's lines
    std::vector<CreatedOverlay> createdOverlays() const;
    // "red green blue alpha" per palette index set, in the order set ("i: r g b a").
    std::vector<std::string> paletteCalls() const;
    int submitCount() const;

    // The picture of a stream's last submitted buffer.
    static std::string picturePath(int streamId);
    static std::string logPath();

    class Impl;

  private:
    std::unique_ptr<Impl> m_impl;
};

// Plays a JSON-lines script: one object per line with "at" (seconds since the
// start) and "event" ("addStream", "removeStream", "addOverlay",
// "changeOverlay", "removeOverlay") and the members of StreamInfo /
// OverlayInfo ("id", "camera", "type", "resolution", "rotation", "mirror",
// "position", "size", "scalable"). Returns false with a reason for a line
// that cannot be read; `stop` ends the wait between lines.
bool playScript(OverlayService& service, const std::string& path, const bool& stop,
                std::string& error);

}  // namespace overlaysim
