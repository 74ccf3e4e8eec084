#pragma once

#include <glib.h>

G_BEGIN_DECLS

typedef struct _ZKParameter ZKParameter;

#define ZK_PARAMETER_ERROR (zk_parameter_error_quark())
GQuark zk_parameter_error_quark(void);

typedef enum {
    ZK_PARAMETER_ERROR_NOT_FOUND,
    ZK_PARAMETER_ERROR_INVALID_ARGUMENT,
} ZKParameterError;

// Opens the device parameters for the named application. Returns NULL and
// sets error on failure.
ZKParameter* zk_parameter_new(const char* app_name, GError** error);

// Reads one parameter. On success *value receives a newly allocated text that
// the caller releases with g_free. A parameter that does not exist is a
// failure (FALSE, error set, *value untouched).
gboolean zk_parameter_get(ZKParameter* handler, const char* name, char** value, GError** error);

void zk_parameter_free(ZKParameter* handler);

G_END_DECLS
