// Walks a kernel container field by field, bounds-checked, and records what it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gpukernels::test {

struct ProgramImage {
    uint32_t index;
    std::string_view bytes;  // points into the container
};

struct KernelEntry {
    std::string name;
    std::vector<ProgramImage> images;
};

struct KernelContainer {
    std::string magic;
    uint32_t kernelCount;
    uint32_t payloadLength;
    std::vector<KernelEntry> kernels;  // kernelCount entries
};

// Throws std::runtime_error when a field runs past `length`, a name field is not a
// NUL-terminated, NUL-padded multiple of 4, or bytes are left over after the last entry.
KernelContainer walkContainer(const uint8_t* data, std::size_t length);

}  // namespace gpukernels::test
