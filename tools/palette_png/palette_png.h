#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// A palette colour as the overlay service takes it; alpha 0 is transparent.
struct PaletteColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;
};

// The colours of the 16 palette indexes; an index never set is empty.
using Palette = std::array<std::optional<PaletteColor>, 16>;

// Writes a palette overlay (4 bits per pixel, two pixels per byte, the left
// pixel in the high nibble, rows without padding) as an RGB picture, every
// colour blended over a mid-grey background so transparency shows. Indexes
// without a colour are drawn opaque magenta. `width` is in pixels and even.
// False with a reason in `error` when the file cannot be written.
bool writePalettePng(const std::string& path, const unsigned char* pixels, int width, int height,
                     const Palette& palette, std::string& error);
