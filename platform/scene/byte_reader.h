#pragma once

// Bounds-checked reading of little-endian numbers from a byte string. Every
// read fails (returns false) instead of running past the end.

#include <cstddef>
#include <cstdint>
#include <string>

namespace scene {

class ByteReader {
  public:
    explicit ByteReader(const std::string& bytes) : m_bytes(bytes) {}

    bool readU8(uint8_t& value);
    bool readU16(uint16_t& value);
    bool readI16(int16_t& value);
    bool readI32(int32_t& value);
    bool readU64(uint64_t& value);

    size_t remaining() const { return m_bytes.size() - m_offset; }

  private:
    bool readLittleEndian(size_t width, uint64_t& value);

    const std::string& m_bytes;
    size_t m_offset = 0;
};

}  // namespace scene
