#pragma once

// A calibration bar of the perspective model: an upright object of known
// real-world height, given by the scene coordinates of its two ends along
// the image's vertical direction (y, or x for a camera rotated by 90 or 270
// degrees).
class PerspectiveBar {
  public:
    PerspectiveBar(int first, int second, int height);

    int getFirst() const { return m_first; }
    int getSecond() const { return m_second; }
    int getHeight() const { return m_height; }
    // Scene units per real-world unit: |second - first| / height; 0 for a bar
    // without a positive height, which validation refuses.
    float getScale() const { return m_scale; }

    // Whether this bar stands higher in the viewed image than the other.
    bool isAbove(const PerspectiveBar& other, int rotation) const;

  private:
    int m_first;
    int m_second;
    int m_height;
    float m_scale;
};
