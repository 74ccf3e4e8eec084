#pragma once

#include <string>
#include <variant>

#include "overlay/external_overlay.h"
#include "overlay/stream_settings.h"

// A video stream as the graphics service announces it.
struct StreamProperties {
    int streamId;
    int camera;
    std::string type;  // "h264", "mjpeg", …
    StreamSettings settings;
};

struct StreamAddedMessage {
    StreamProperties properties;
};
struct StreamRemovedMessage {
    int streamId;
};
struct OverlayAddedMessage {
    ExternalOverlay overlay;
};
struct OverlayRemovedMessage {
    int overlayId;
};
struct OverlayPropertiesChangedMessage {
    OverlayProperties properties;
};

// A change of the streams or of the overlays on them, as the listeners
// report it; the type number is the payload's position.
class AlarmOverlayMessage {
  public:
    using Payload = std::variant<StreamAddedMessage, StreamRemovedMessage, OverlayAddedMessage,
                                 OverlayRemovedMessage, OverlayPropertiesChangedMessage>;

    explicit AlarmOverlayMessage(Payload payload) : m_payload(std::move(payload)) {}

    int getType() const { return static_cast<int>(m_payload.index()); }
    const Payload& getPayload() const { return m_payload; }

  private:
    Payload m_payload;
};

using AlarmOverlayMessageCallback = void (*)(const AlarmOverlayMessage&);
