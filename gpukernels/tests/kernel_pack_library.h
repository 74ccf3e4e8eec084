// Loads gpukernelpack with dlopen, the way the vision runtime does, and finds its entry point.
#pragma once

#include <memory>

#include "gpu_kernel_pack.h"

namespace gpukernels::test {

class KernelPackLibrary {
  public:
    // Throws std::runtime_error when the library or its entry point cannot be found.
    explicit KernelPackLibrary(const char* path);

    GetOvxGPUKernelBinaryPtrFn entryPoint() const { return entryPoint_; }

  private:
    struct Closer {
        void operator()(void* handle) const;
    };

    std::unique_ptr<void, Closer> handle_;
    GetOvxGPUKernelBinaryPtrFn entryPoint_;
};

}  // namespace gpukernels::test
