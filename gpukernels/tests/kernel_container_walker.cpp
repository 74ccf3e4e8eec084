#include "kernel_container_walker.h"

#include <stdexcept>

namespace gpukernels::test {

namespace {

class Reader {
  public:
    Reader(const uint8_t* data, std::size_t length) : data_(data), length_(length) {}

    std::string_view take(std::size_t count, const char* what) {
        if (count > length_ - offset_) {
            throw std::runtime_error(std::string(what) + " at offset " + std::to_string(offset_) +
                                     " runs past the end");
        }
        std::string_view bytes(reinterpret_cast<const char*>(data_ + offset_), count);
        offset_ += count;
        return bytes;
    }

    uint32_t u32(const char* what) {
        std::string_view bytes = take(4, what);
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<uint8_t>(bytes[static_cast<std::size_t>(i)]);
        }
        return value;
    }

    std::size_t remaining() const { return length_ - offset_; }

  private:
    const uint8_t* data_;
    std::size_t length_;
    std::size_t offset_ = 0;
};

std::string nameFromField(std::string_view field) {
    if (field.size() % 4 != 0) {
        throw std::runtime_error("name field length " + std::to_string(field.size()) +
                                 " is not a multiple of 4");
    }
    std::size_t end = field.find('\0');
    if (end == std::string_view::npos) {
        throw std::runtime_error("name field is not NUL-terminated");
    }
    if (field.find_first_not_of('\0', end) != std::string_view::npos) {
        throw std::runtime_error("name field is not NUL-padded");
    }
    return std::string(field.substr(0, end));
}

KernelEntry readKernel(Reader& reader) {
    KernelEntry kernel;
    uint32_t nameLength = reader.u32("name length");
    kernel.name = nameFromField(reader.take(nameLength, "name"));
    uint32_t imageCount = reader.u32("image count");
    for (uint32_t i = 0; i < imageCount; ++i) {
        uint32_t index = reader.u32("image index");
        uint32_t imageLength = reader.u32("image length");
        kernel.images.push_back({index, reader.take(imageLength, "image")});
    }
    return kernel;
}

}  // namespace

KernelContainer walkContainer(const uint8_t* data, std::size_t length) {
    Reader reader(data, length);
    KernelContainer container;
    container.magic = std::string(reader.take(8, "magic"));
    container.kernelCount = reader.u32("kernel count");
    container.payloadLength = reader.u32("payload length");
    for (uint32_t i = 0; i < container.kernelCount; ++i) {
        container.kernels.push_back(readKernel(reader));
    }
    if (reader.remaining() != 0) {
        throw std::runtime_error(std::to_string(reader.remaining()) +
                                 " bytes left after the last kernel");
    }
    return container;
}

}  // namespace gpukernels::test
