#include "overlay/external_overlay_union.h"

#include <algorithm>

#include "overlay/stream_settings.h"

namespace {

int roundUpToMacroBlocks(int pixels) {
    const int partial = pixels % kMacroBlockSize;
    return partial > 0 ? pixels + kMacroBlockSize - partial : pixels;
}

}  // namespace

void ExternalOverlayUnion::add(int top, int bottom) {
    m_top = std::max(m_top, top);
    m_bottom = std::max(m_bottom, bottom);
}

void ExternalOverlayUnion::adjustMarginToMacroBlockSize() {
    m_top = roundUpToMacroBlocks(m_top);
    m_bottom = roundUpToMacroBlocks(m_bottom);
}
