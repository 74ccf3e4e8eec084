#pragma once

#include <cstdint>

// Linking allocation_count.cpp replaces the global operator new by one that
// counts every allocation of the process.
namespace benchalloc {

// Allocations through operator new so far.
int64_t count();

}  // namespace benchalloc
