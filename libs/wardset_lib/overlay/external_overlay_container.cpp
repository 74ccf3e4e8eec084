#include "overlay/external_overlay_container.h"

#include <syslog.h>

#include <algorithm>

void ExternalOverlayContainer::insert(const ExternalOverlay& overlay) {
    erase(overlay.getOverlayId());
    m_overlays.push_back(overlay);
    updateResultingExternalOverlayUnion();
}

void ExternalOverlayContainer::remove(int overlayId) {
    erase(overlayId);
    updateResultingExternalOverlayUnion();
}

void ExternalOverlayContainer::updateOverlayProperties(const OverlayProperties& properties) {
    ExternalOverlay* overlay = find(properties.overlayId);
    if (overlay == nullptr) {
        syslog(LOG_WARNING, "Could not find external overlay for proprties change: %i\n",
               properties.overlayId);
    } else {
        overlay->setProperties(properties);
    }
    updateResultingExternalOverlayUnion();
}

const ExternalOverlay* ExternalOverlayContainer::getExternalOverlay(int overlayId) const {
    const auto found = std::find_if(
        m_overlays.begin(), m_overlays.end(),
        [overlayId](const ExternalOverlay& o) { return o.getOverlayId() == overlayId; });
    return found != m_overlays.end() ? &*found : nullptr;
}

ExternalOverlay* ExternalOverlayContainer::find(int overlayId) {
    return const_cast<ExternalOverlay*>(getExternalOverlay(overlayId));
}

void ExternalOverlayContainer::updateResultingExternalOverlayUnion() {
    m_union.clear();
    for (const ExternalOverlay& overlay : m_overlays) {
        m_union.add(overlay.getTop(m_settings), overlay.getBottom(m_settings));
    }
    m_union.adjustMarginToMacroBlockSize();
}

void ExternalOverlayContainer::erase(int overlayId) {
    m_overlays.erase(std::remove_if(m_overlays.begin(), m_overlays.end(),
                                    [overlayId](const ExternalOverlay& overlay) {
                                        return overlay.getOverlayId() == overlayId;
                                    }),
                     m_overlays.end());
}
