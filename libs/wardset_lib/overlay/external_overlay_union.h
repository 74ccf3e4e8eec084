#pragma once

// The bands at the top and the bottom of a stream that other applications'
// overlays occupy, in pixels of the rotated stream.
class ExternalOverlayUnion {
  public:
    ExternalOverlayUnion() = default;
    ExternalOverlayUnion(int top, int bottom) : m_top(top), m_bottom(bottom) {}

    // Keeps the larger of each margin.
    void add(int top, int bottom);
    void clear() { *this = ExternalOverlayUnion(); }
    // Rounds each margin up to a whole number of 16-pixel macro blocks.
    void adjustMarginToMacroBlockSize();

    int getTop() const { return m_top; }
    int getBottom() const { return m_bottom; }

    bool operator==(const ExternalOverlayUnion& other) const {
        return m_top == other.m_top && m_bottom == other.m_bottom;
    }
    bool operator!=(const ExternalOverlayUnion& other) const { return !(*this == other); }

  private:
    int m_top = 0;
    int m_bottom = 0;
};
