#pragma once

#include <memory>
#include <string>

#include "overlay/external_overlay_union.h"
#include "overlay/mapped_memory.h"

class CommandChannelHandler;

// One of our overlays on one stream: its buffers in the camera device, which
// the graphics service hands out one at a time, and whether the service shows
// it yet. A buffer is a 64-byte header of the service's, W × H / 2 bytes of
// pixel pairs and a tail; only the pixel pairs are ever written.
class StreamOverlay {
  public:
    static constexpr int kHeaderSize = 64;
    static constexpr int kBufferExtraSize = 96;

    StreamOverlay(int streamId, int overlayId, int width, int height, std::string objectPath,
                  const ExternalOverlayUnion& overlayUnion);

    // Asks for the buffer to draw into next and maps it.
    void setupBuffer(int cameraDevice, CommandChannelHandler& channel);
    // Copy the frame's pixel pairs (from a drawn surface, or from the first
    // overlay's buffer) when they changed, changed the frame before (the
    // other buffer still holds older content) or the overlay is not shown yet.
    void insertData(const unsigned char* surface, bool changed);
    void copyDataFromStreamOverlay(const StreamOverlay& first, bool changed);
    // Hands the buffer to the service and shows the overlay the first time.
    void submitBuffer(CommandChannelHandler& channel);
    void setVisible();
    // The pixel pairs of the mapped buffer; null before setupBuffer.
    unsigned char* getImageOverlayMemory() const;

    // The service removed the overlay: it is recreated at the next frame.
    void invalidate() { m_valid = false; }

    int getStreamId() const { return m_streamId; }
    int getOverlayId() const { return m_overlayId; }
    const std::string& getObjectPath() const { return m_objectPath; }
    const ExternalOverlayUnion& getUnion() const { return m_union; }
    int getFramesHandled() const { return m_framesHandled; }
    bool isValid() const { return m_valid; }
    bool isVisible() const { return m_visible; }

  private:
    void copyPixels(const unsigned char* source, bool changed);
    int pixelBytes() const { return m_width * m_height / 2; }

    int m_streamId;
    int m_overlayId;
    int m_bufferSize;
    int m_width;
    int m_height;
    std::string m_objectPath;
    std::string m_getBufferCommand;
    int m_bufferHandle = -1;
    std::unique_ptr<MappedMemory> m_buffer;
    bool m_visible = false;
    bool m_lastDataChanged = false;
    int m_framesHandled = 0;
    ExternalOverlayUnion m_union;
    bool m_valid = true;
};
