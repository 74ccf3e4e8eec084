#pragma once

#include <glib.h>

#include <string>

// Turns GLib failures into exceptions (std::runtime_error).
class GlibUtils {
  public:
    GlibUtils() = delete;

    // Throws message + ": " + the error's message + "\n" when error is set;
    // the error is freed first.
    static void throwIfNotOk(GError* error, const std::string& message);
    // As above; also throws message + ": Pointer was unexpectedly NULL\n" when
    // object is null.
    static void throwIfNotOk(const void* object, GError* error, const std::string& message);
};
