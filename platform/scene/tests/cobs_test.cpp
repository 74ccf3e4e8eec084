#include "cobs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace scene;

namespace {

std::string randomBytes(std::mt19937& rng, size_t size, int zeroPercent) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        const bool zero = static_cast<int>(rng() % 100) < zeroPercent;
        c = zero ? '\0' : static_cast<char>(1 + rng() % 255);
    }
    return bytes;
}

}  // namespace

TEST(Cobs, RoundTripsAnyBytesWithoutEmittingZeros) {
    std::mt19937 rng(7);
    // Lengths around the 254-byte block boundary are where stuffing goes wrong.
    for (size_t size : {0u, 1u, 2u, 253u, 254u, 255u, 256u, 508u, 509u, 1000u}) {
        for (int zeroPercent : {0, 10, 100}) {
            const std::string bytes = randomBytes(rng, size, zeroPercent);
            const std::string text = cobs::encode(bytes);
            ASSERT_EQ(text.find('\0'), std::string::npos);
            const auto decoded = cobs::decode(text.c_str());
            ASSERT_TRUE(decoded.has_value()) << size << " " << zeroPercent;
            EXPECT_EQ(*decoded, bytes) << size << " " << zeroPercent;
        }
    }
}

TEST(Cobs, OverheadIsOneBytePerBlock) {
    EXPECT_EQ(cobs::encode(std::string(1000, 'x')).size(), 1000u + 4u);
    EXPECT_EQ(cobs::encode(std::string(3, '\0')), std::string("\x01\x01\x01\x01"));
}

TEST(Cobs, BlockRunningIntoTheTerminatorIsRejected) {
    EXPECT_FALSE(cobs::decode("\x05"
                              "ab")
                     .has_value());
    EXPECT_FALSE(cobs::decode("\xff").has_value());
    EXPECT_TRUE(cobs::decode("").has_value());
}
