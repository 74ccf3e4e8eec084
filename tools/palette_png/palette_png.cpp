#include "palette_png.h"

#include <png.h>

#include <cstddef>
#include <vector>

namespace {

constexpr uint8_t kBackground = 128;
constexpr PaletteColor kUnknownIndex{255, 0, 255, 255};

uint8_t blendOverBackground(uint8_t value, uint8_t alpha) {
    return static_cast<uint8_t>((value * alpha + kBackground * (255 - alpha) + 127) / 255);
}

// The 16 possible indexes as RGB over the background.
std::array<std::array<uint8_t, 3>, 16> blendedColors(const Palette& palette) {
    std::array<std::array<uint8_t, 3>, 16> colors{};
    for (std::size_t index = 0; index < palette.size(); ++index) {
        const PaletteColor color = palette[index].value_or(kUnknownIndex);
        colors[index] = {blendOverBackground(color.red, color.alpha),
                         blendOverBackground(color.green, color.alpha),
                         blendOverBackground(color.blue, color.alpha)};
    }
    return colors;
}

}  // namespace

bool writePalettePng(const std::string& path, const unsigned char* pixels, int width, int height,
                     const Palette& palette, std::string& error) {
    if (width <= 0 || height <= 0 || width % 2 != 0) {
        error = "the size must be positive and the width even";
        return false;
    }
    const auto colors = blendedColors(palette);
    const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
    std::vector<uint8_t> rgb;
    rgb.reserve(pixelCount * 3);
    for (std::size_t byte = 0; byte < pixelCount / 2; ++byte) {
        for (const int index : {pixels[byte] >> 4, pixels[byte] & 0x0f}) {
            rgb.insert(rgb.end(), colors[index].begin(), colors[index].end());
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        error = image.message;
        return false;
    }
    return true;
}
