#pragma once

#include <vector>

#include "overlay/external_overlay.h"
#include "overlay/external_overlay_union.h"
#include "overlay/stream_settings.h"

// The other applications' overlays on the streams of the given settings, and
// the union of the bands they cover, kept up to date on every change.
class ExternalOverlayContainer {
  public:
    explicit ExternalOverlayContainer(const StreamSettings& settings) : m_settings(settings) {}

    // A new announcement of an id already kept replaces that overlay.
    void insert(const ExternalOverlay& overlay);
    void remove(int overlayId);
    // Logs at warning level when no overlay of that id is kept.
    void updateOverlayProperties(const OverlayProperties& properties);
    // Null when no overlay of that id is kept.
    const ExternalOverlay* getExternalOverlay(int overlayId) const;

    // The largest top and bottom band of all overlays, in whole macro blocks.
    void updateResultingExternalOverlayUnion();
    const ExternalOverlayUnion& getResultingUnion() const { return m_union; }

  private:
    ExternalOverlay* find(int overlayId);
    void erase(int overlayId);

    StreamSettings m_settings;
    std::vector<ExternalOverlay> m_overlays;  // in order of announcement
    ExternalOverlayUnion m_union;
};
