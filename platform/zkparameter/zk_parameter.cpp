#include "zk_parameter.h"

#include <string>

#include "parameter_file.h"

// The file is read on every get, so that a test or a tool can change a
// parameter while the program runs, as the camera's parameter service allows.
struct _ZKParameter {
    std::string appName;
};

G_DEFINE_QUARK(zk - parameter - error - quark, zk_parameter_error)

ZKParameter* zk_parameter_new(const char* app_name, GError** error) {
    if (app_name == nullptr || *app_name == '\0') {
        g_set_error(error, ZK_PARAMETER_ERROR, ZK_PARAMETER_ERROR_INVALID_ARGUMENT,
                    "An application name is required");
        return nullptr;
    }
    return new _ZKParameter{app_name};
}

gboolean zk_parameter_get(ZKParameter* handler, const char* name, char** value, GError** error) {
    if (handler == nullptr || name == nullptr || value == nullptr) {
        g_set_error(error, ZK_PARAMETER_ERROR, ZK_PARAMETER_ERROR_INVALID_ARGUMENT,
                    "Invalid argument");
        return FALSE;
    }
    const auto found = camlet::ParameterFile::load().find(name);
    if (!found) {
        g_set_error(error, ZK_PARAMETER_ERROR, ZK_PARAMETER_ERROR_NOT_FOUND,
                    "Parameter %s does not exist", name);
        return FALSE;
    }
    *value = g_strdup(found->c_str());
    return TRUE;
}

void zk_parameter_free(ZKParameter* handler) {
    delete handler;
}
