#include "overlay/stream_overlay.h"

#include <gio/gio.h>

#include <cstring>
#include <stdexcept>
#include <utility>

#include "base/dbus_utils.h"
#include "overlay/command_channel_handler.h"

StreamOverlay::StreamOverlay(int streamId, int overlayId, int width, int height,
                             std::string objectPath, const ExternalOverlayUnion& overlayUnion)
    : m_streamId(streamId),
      m_overlayId(overlayId),
      m_bufferSize(width * height / 2 + kBufferExtraSize),
      m_width(width),
      m_height(height),
      m_objectPath(std::move(objectPath)),
      m_getBufferCommand(CommandChannelHandler::getBufferCommand(overlayId)),
      m_union(overlayUnion) {}

void StreamOverlay::setupBuffer(int cameraDevice, CommandChannelHandler& channel) {
    const int handle = channel.getBufferHandle(m_getBufferCommand);
    if (handle == -1) {
        throw std::runtime_error("Failed to get buffer handle");
    }
    auto buffer = std::make_unique<MappedMemory>(m_bufferSize, cameraDevice, handle);
    m_buffer = std::move(buffer);
    m_bufferHandle = handle;
}

void StreamOverlay::insertData(const unsigned char* surface, bool changed) {
    copyPixels(surface, changed);
}

void StreamOverlay::copyDataFromStreamOverlay(const StreamOverlay& first, bool changed) {
    const unsigned char* source = first.getImageOverlayMemory();
    // Overlays of one handler share the settings and union, so equal sizes;
    // a mismatch is never copied over.
    copyPixels(first.pixelBytes() == pixelBytes() ? source : nullptr, changed);
}

void StreamOverlay::copyPixels(const unsigned char* source, bool changed) {
    ++m_framesHandled;
    if (m_valid && m_buffer && source != nullptr && (changed || m_lastDataChanged || !m_visible)) {
        std::memcpy(getImageOverlayMemory(), source, static_cast<std::size_t>(pixelBytes()));
    }
    m_lastDataChanged = changed;
}

void StreamOverlay::submitBuffer(CommandChannelHandler& channel) {
    channel.submitBuffer(CommandChannelHandler::submitBufferCommand(m_overlayId, m_bufferHandle));
    setVisible();
}

void StreamOverlay::setVisible() {
    if (m_visible) {
        return;
    }
    GDBusProxy* proxy = DBusUtils::createProxy(
        "com.zelk.Overlay2", m_objectPath.c_str(), "com.zelk.Overlay2.Overlay",
        "Failed to create proxy for setVisible",
        static_cast<GDBusProxyFlags>(G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES |
                                     G_DBUS_PROXY_FLAGS_DO_NOT_CONNECT_SIGNALS));
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{ss}"));
    g_variant_builder_add(&properties, "{ss}", "Visible", "true");
    try {
        g_variant_unref(DBusUtils::callSync(proxy, "SetProperties",
                                            g_variant_new("(a{ss})", &properties),
                                            "Failed to set visibility for overlay"));
    } catch (...) {
        g_object_unref(proxy);
        throw;
    }
    g_object_unref(proxy);
    m_visible = true;
}

unsigned char* StreamOverlay::getImageOverlayMemory() const {
    return m_buffer ? m_buffer->getPointer() + kHeaderSize : nullptr;
}
