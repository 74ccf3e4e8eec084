#pragma once

#include <gio/gio.h>

#include <memory>

#include "overlay/external_overlay_union.h"
#include "overlay/stream_overlay.h"
#include "overlay/stream_settings.h"

// Creates and removes our overlays through the overlay service's factory.
class StreamOverlayCreator {
  public:
    // Throws std::runtime_error when the factory cannot be reached.
    StreamOverlayCreator();
    ~StreamOverlayCreator();
    StreamOverlayCreator(const StreamOverlayCreator&) = delete;
    StreamOverlayCreator& operator=(const StreamOverlayCreator&) = delete;

    // A palette overlay covering the stream between the union's bands,
    // created invisible; throws std::runtime_error.
    std::unique_ptr<StreamOverlay> createStreamOverlay(const StreamSettings& settings, int streamId,
                                                       const ExternalOverlayUnion& overlayUnion);
    // Removes a valid overlay from the service; failures are logged.
    void unregister(const StreamOverlay& overlay);

  private:
    GDBusProxy* m_factory_p;  // owned
};
