#include "glib_utils.h"

#include <stdexcept>

void GlibUtils::throwIfNotOk(GError* error, const std::string& message) {
    if (error != nullptr) {
        const std::string text = message + ": " + error->message + "\n";
        g_error_free(error);
        throw std::runtime_error(text);
    }
}

void GlibUtils::throwIfNotOk(const void* object, GError* error, const std::string& message) {
    throwIfNotOk(error, message);
    if (object == nullptr) {
        throw std::runtime_error(message + ": Pointer was unexpectedly NULL\n");
    }
}
