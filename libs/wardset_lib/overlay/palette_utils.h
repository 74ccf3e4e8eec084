#pragma once

// The overlay service's palette as the alarm overlay draws with it: index 4
// (the outlines) half-transparent red and index 5 (everything else) fully
// transparent; indexes 0 and 1 are set alike.
class PaletteUtils {
  public:
    PaletteUtils() = delete;

    // Sets the four colours over D-Bus; logs at warning level and returns
    // false at the first one that fails.
    static bool setCustomPaletteValues();
};
