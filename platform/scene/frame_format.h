#pragma once

// Layout constants of the binary scene frame (see README.md).

#include <cstddef>
#include <cstdint>

namespace scene::format {

constexpr uint8_t kMagic0 = 'S';
constexpr uint8_t kMagic1 = 'F';
constexpr uint8_t kVersion = 1;

// Frame flags.
constexpr uint8_t kHasTimestamp = 0x01;

// Object field bits (the same bits as the capability mask that asks for them).
constexpr uint8_t kHasBoundingBox = 0x01;
constexpr uint8_t kHasOutline = 0x02;
constexpr uint8_t kHasVelocity = 0x04;
constexpr uint8_t kHasConfidence = 0x08;
constexpr uint8_t kKnownObjectFields = 0x0F;

// Every count (objects, events, points, ids) is an unsigned 16-bit number.
constexpr size_t kMaxCount = 0xFFFF;

}  // namespace scene::format
