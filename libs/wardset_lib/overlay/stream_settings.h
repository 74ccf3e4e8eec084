#pragma once

// Encoders work on blocks of 16 × 16 pixels; overlays are cut to whole blocks.
constexpr int kMacroBlockSize = 16;

// The size, rotation and mirroring of a video stream that the alarm overlay
// draws into.
class StreamSettings {
  public:
    StreamSettings(int width, int height, int rotation, bool mirrorEnabled);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getRotation() const { return m_rotation; }
    bool isMirrorEnabled() const { return m_mirrorEnabled; }

    // The height of the rotated image: the width when turned by 90 or 270 degrees.
    int getRotationCorrectedHeight() const;
    // The width / height of the rotated image, truncated to whole macro blocks
    // of 16 pixels.
    int getRotationAndMacroBlockCorrectedWidth() const;
    int getRotationAndMacroBlockCorrectedHeight() const;

    bool operator==(const StreamSettings& other) const;
    bool operator!=(const StreamSettings& other) const { return !(*this == other); }

  private:
    bool isTurnedSideways() const { return m_rotation != 0 && m_rotation != 180; }

    int m_width;
    int m_height;
    int m_rotation;  // degrees
    bool m_mirrorEnabled;
};
