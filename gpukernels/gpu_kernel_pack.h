/* The one entry point of gpukernelpack: compiled GPU kernel containers by kernel-binary type. */
#ifndef GPUKERNELS_GPU_KERNEL_PACK_H
#define GPUKERNELS_GPU_KERNEL_PACK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns the read-only kernel container of `type` and stores its length in bytes through
 * `length`. The container stays valid while the library is loaded and is never freed by the
 * caller. For an unknown type it prints an error line on standard output, stores 0 and
 * returns NULL. A null `length` is allowed; nothing is stored then. Safe on any thread. */
const uint8_t* GetOvxGPUKernelBinaryPtr(uint32_t type, int32_t* length);

typedef const uint8_t* (*GetOvxGPUKernelBinaryPtrFn)(uint32_t type, int32_t* length);

#ifdef __cplusplus
}
#endif

#endif
