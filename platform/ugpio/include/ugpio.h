#pragma once

// The camera's GPIO line library: lines are found by their name in the
// device tree ("fpga_reset") and driven as outputs.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ugpio_line ugpio_line;

// The line with this name, configured as an output; NULL with errno set
// (ENOENT: no such line, EBUSY: held by another user) on failure.
ugpio_line* ugpio_line_get_by_name(const char* name);

// Drives the line to 0 or 1 (any non-zero value is 1). 0 on success, a
// negative errno value on failure.
int ugpio_line_set_value(ugpio_line* line, int value);

// Releases the line; NULL is ignored.
void ugpio_line_release(ugpio_line* line);

#ifdef __cplusplus
}
#endif
