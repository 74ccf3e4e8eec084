#include "overlay/stream_settings.h"

namespace {

// Truncated toward zero.
int toWholeMacroBlocks(int pixels) {
    return pixels / kMacroBlockSize * kMacroBlockSize;
}

}  // namespace

StreamSettings::StreamSettings(int width, int height, int rotation, bool mirrorEnabled)
    : m_width(width), m_height(height), m_rotation(rotation), m_mirrorEnabled(mirrorEnabled) {}

int StreamSettings::getRotationCorrectedHeight() const {
    return isTurnedSideways() ? m_width : m_height;
}

int StreamSettings::getRotationAndMacroBlockCorrectedWidth() const {
    return toWholeMacroBlocks(isTurnedSideways() ? m_height : m_width);
}

int StreamSettings::getRotationAndMacroBlockCorrectedHeight() const {
    return toWholeMacroBlocks(isTurnedSideways() ? m_width : m_height);
}

bool StreamSettings::operator==(const StreamSettings& other) const {
    return m_width == other.m_width && m_height == other.m_height &&
           m_rotation == other.m_rotation && m_mirrorEnabled == other.m_mirrorEnabled;
}
