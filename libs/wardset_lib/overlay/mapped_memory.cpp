#include "overlay/mapped_memory.h"

#include <sys/mman.h>
#include <sys/types.h>
#include <syslog.h>

#include <cerrno>
#include <stdexcept>
#include <string>

MappedMemory::MappedMemory(int size, int fd, int offset) : m_size(static_cast<std::size_t>(size)) {
    void* pointer = size > 0 && offset >= 0 ? mmap(nullptr, m_size, PROT_READ | PROT_WRITE,
                                                   MAP_SHARED, fd, static_cast<off_t>(offset))
                                            : MAP_FAILED;
    if (pointer == MAP_FAILED) {
        const int error = size > 0 && offset >= 0 ? errno : EINVAL;
        throw std::runtime_error("Failed to mmap buffer handle: " + std::to_string(error));
    }
    m_pointer_p = static_cast<unsigned char*>(pointer);
}

MappedMemory::~MappedMemory() {
    if (munmap(m_pointer_p, m_size) != 0) {
        syslog(LOG_WARNING, "Failed to unmap image buffer, errno: %d\n", errno);
    }
}
