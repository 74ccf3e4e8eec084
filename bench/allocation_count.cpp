#include "allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> g_allocations{0};

}  // namespace

namespace benchalloc {

int64_t count() {
    return g_allocations.load(std::memory_order_relaxed);
}

}  // namespace benchalloc

// The library's operator delete releases with free, so only new is replaced.
void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
