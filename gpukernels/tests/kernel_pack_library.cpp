#include "kernel_pack_library.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace gpukernels::test {

namespace {

std::string lastDlError() {
    const char* message = dlerror();
    return message != nullptr ? message : "unknown error";
}

}  // namespace

void KernelPackLibrary::Closer::operator()(void* handle) const {
    dlclose(handle);
}

KernelPackLibrary::KernelPackLibrary(const char* path)
    : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)), entryPoint_(nullptr) {
    if (!handle_) {
        throw std::runtime_error("dlopen " + std::string(path) + ": " + lastDlError());
    }
    void* symbol = dlsym(handle_.get(), "GetOvxGPUKernelBinaryPtr");
    if (symbol == nullptr) {
        throw std::runtime_error("dlsym GetOvxGPUKernelBinaryPtr: " + lastDlError());
    }
    entryPoint_ = reinterpret_cast<GetOvxGPUKernelBinaryPtrFn>(symbol);
}

}  // namespace gpukernels::test
