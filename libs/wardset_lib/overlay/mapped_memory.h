#pragma once

#include <cstddef>

// A shared read-write mapping of part of a file, unmapped on destruction.
class MappedMemory {
  public:
    // Maps `size` bytes of `fd` from byte `offset` (a multiple of the page
    // size); throws std::runtime_error when the mapping fails.
    MappedMemory(int size, int fd, int offset);
    ~MappedMemory();
    MappedMemory(const MappedMemory&) = delete;
    MappedMemory& operator=(const MappedMemory&) = delete;

    unsigned char* getPointer() const { return m_pointer_p; }
    std::size_t getSize() const { return m_size; }

  private:
    unsigned char* m_pointer_p;
    std::size_t m_size;
};
