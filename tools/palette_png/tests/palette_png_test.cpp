#include "palette_png.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace {

using Rgb = std::vector<int>;

// The picture's pixels as r, g, b triples, row after row.
std::vector<Rgb> readRgb(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        ADD_FAILURE() << image.message;
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
        ADD_FAILURE() << image.message;
        return {};
    }
    std::vector<Rgb> pixels;
    for (std::size_t at = 0; at + 2 < bytes.size(); at += 3) {
        pixels.push_back({bytes[at], bytes[at + 1], bytes[at + 2]});
    }
    return pixels;
}

TEST(PalettePng, BlendsEachIndexOverGreyAndMarksUnknownIndexes) {
    Palette palette;
    palette[4] = PaletteColor{255, 0, 0, 155};
    palette[5] = PaletteColor{0, 0, 0, 0};
    palette[6] = PaletteColor{0, 0, 255, 255};
    // Left pixel in the high nibble; index 15 has no colour.
    const unsigned char overlay[] = {0x45, 0x6f, 0x55, 0x44};
    const std::string path = "palette_png_test.png";
    std::string error;
    ASSERT_TRUE(writePalettePng(path, overlay, 4, 2, palette, error)) << error;

    const Rgb red{205, 50, 50};  // 155/255 red over grey 128
    const Rgb grey{128, 128, 128};
    const Rgb blue{0, 0, 255};
    const Rgb magenta{255, 0, 255};
    EXPECT_EQ(readRgb(path), (std::vector<Rgb>{red, grey, blue, magenta, grey, grey, red, red}));
    std::remove(path.c_str());
}

}  // namespace
