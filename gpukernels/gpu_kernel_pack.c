/* Hands out the kernel containers that the build laid into this library's read-only data. */
#include "gpu_kernel_pack.h"

#include <stddef.h>
#include <stdio.h>

/* All containers, end to end; placed by the generated assembly. */
extern const uint8_t kernel_pack_data[] __attribute__((visibility("hidden")));

struct container_placement {
    uint32_t offset; /* from the start of kernel_pack_data */
    uint32_t length;
};

/* Indexed by kernel-binary type. */
static const struct container_placement container_placements[] = {
#include "kernel_pack_layout.inc"
};

enum { container_type_count = sizeof container_placements / sizeof container_placements[0] };

__attribute__((visibility("default"))) const uint8_t* GetOvxGPUKernelBinaryPtr(uint32_t type,
                                                                               int32_t* length) {
    if (type >= container_type_count) {
        puts("ERROR: Invalid ovxgpu_vxc kernel binary type!");
        if (length != NULL) {
            *length = 0;
        }
        return NULL;
    }
    const struct container_placement* placement = &container_placements[type];
    if (length != NULL) {
        *length = (int32_t)placement->length;
    }
    return kernel_pack_data + placement->offset;
}
