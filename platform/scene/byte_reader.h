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

// Defined here so that reads of constant width compile to a few loads.
inline bool ByteReader::readLittleEndian(size_t width, uint64_t& value) {
    if (remaining() < width) {
        return false;
    }
    value = 0;
    for (size_t i = 0; i < width; ++i) {
        const auto byte = static_cast<uint8_t>(m_bytes[m_offset + i]);
        value |= static_cast<uint64_t>(byte) << (8 * i);
    }
    m_offset += width;
    return true;
}

inline bool ByteReader::readU8(uint8_t& value) {
    uint64_t raw = 0;
    const bool ok = readLittleEndian(1, raw);
    value = static_cast<uint8_t>(raw);
    return ok;
}

inline bool ByteReader::readU16(uint16_t& value) {
    uint64_t raw = 0;
    const bool ok = readLittleEndian(2, raw);
    value = static_cast<uint16_t>(raw);
    return ok;
}

inline bool ByteReader::readI16(int16_t& value) {
    uint16_t raw = 0;
    const bool ok = readU16(raw);
    value = static_cast<int16_t>(raw);
    return ok;
}

inline bool ByteReader::readI32(int32_t& value) {
    uint64_t raw = 0;
    const bool ok = readLittleEndian(4, raw);
    value = static_cast<int32_t>(static_cast<uint32_t>(raw));
    return ok;
}

inline bool ByteReader::readU64(uint64_t& value) {
    return readLittleEndian(8, value);
}

}  // namespace scene
