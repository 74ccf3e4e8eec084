#include "overlay/cairo_wrapper.h"

#include <syslog.h>

#include <string>

GModule* Cairo::s_module_p = nullptr;
Cairo::EntryPoints Cairo::s_entries{};

namespace {

// Calls an entry point, or logs that the operation named `operation` is not
// available and gives the result type's zero value.
template <typename Result, typename... Params, typename... Args>
Result callEntry(Result (*entry)(Params...), const char* operation, Args... args) {
    if (entry == nullptr) {
        syslog(LOG_ERR, "Can not use %s\n", operation);
        return Result();
    }
    return entry(args...);
}

}  // namespace

bool Cairo::loadEntryPoints(GModule* module, EntryPoints& entries, const char** missing) {
    struct Symbol {
        const char* name;
        gpointer* slot;
    };
    const Symbol symbols[] = {
        {"cairo_create", reinterpret_cast<gpointer*>(&entries.create)},
        {"cairo_fill", reinterpret_cast<gpointer*>(&entries.fill)},
        {"cairo_destroy", reinterpret_cast<gpointer*>(&entries.destroy)},
        {"cairo_surface_destroy", reinterpret_cast<gpointer*>(&entries.surfaceDestroy)},
        {"cairo_image_surface_create", reinterpret_cast<gpointer*>(&entries.imageSurfaceCreate)},
        {"cairo_image_surface_get_data", reinterpret_cast<gpointer*>(&entries.imageSurfaceGetData)},
        {"cairo_image_surface_get_width",
         reinterpret_cast<gpointer*>(&entries.imageSurfaceGetWidth)},
        {"cairo_image_surface_get_height",
         reinterpret_cast<gpointer*>(&entries.imageSurfaceGetHeight)},
        {"cairo_rectangle", reinterpret_cast<gpointer*>(&entries.rectangle)},
        {"cairo_set_antialias", reinterpret_cast<gpointer*>(&entries.setAntialias)},
        {"cairo_set_line_width", reinterpret_cast<gpointer*>(&entries.setLineWidth)},
        {"cairo_set_operator", reinterpret_cast<gpointer*>(&entries.setOperator)},
        {"cairo_set_source_rgba", reinterpret_cast<gpointer*>(&entries.setSourceRgba)},
        {"cairo_move_to", reinterpret_cast<gpointer*>(&entries.moveTo)},
        {"cairo_close_path", reinterpret_cast<gpointer*>(&entries.closePath)},
        {"cairo_line_to", reinterpret_cast<gpointer*>(&entries.lineTo)},
        {"cairo_stroke", reinterpret_cast<gpointer*>(&entries.stroke)},
        {"cairo_surface_flush", reinterpret_cast<gpointer*>(&entries.surfaceFlush)},
    };
    for (const Symbol& symbol : symbols) {
        if (!g_module_symbol(module, symbol.name, symbol.slot) || *symbol.slot == nullptr) {
            *missing = symbol.name;
            return false;
        }
    }
    return true;
}

bool Cairo::initialize(const char* libraryName) {
    if (s_module_p != nullptr) {
        return true;
    }
    std::string error;
    s_module_p = g_module_open(libraryName,
                               static_cast<GModuleFlags>(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL));
    if (s_module_p == nullptr) {
        error = "Could not open libcairo module";
    } else {
        EntryPoints entries{};
        const char* missing = nullptr;
        if (loadEntryPoints(s_module_p, entries, &missing)) {
            // A complete library stays mapped when it is closed: it keeps
            // caches of its own that unloading would leave unreachable (and
            // leaked), and loading it again then costs nothing.
            g_module_make_resident(s_module_p);
            s_entries = entries;
            return true;
        }
        error = std::string("Could not open ") + missing;
        closeModule();
    }
    syslog(LOG_WARNING, "Failed to load cairo. %s\n", error.c_str());
    return false;
}

void Cairo::deinitialize() {
    closeModule();
}

void Cairo::closeModule() {
    s_entries = EntryPoints{};
    if (s_module_p == nullptr) {
        return;
    }
    if (!g_module_close(s_module_p)) {
        syslog(LOG_WARNING, "Could not close module %s: %s\n", kLibraryName, g_module_error());
    }
    s_module_p = nullptr;
}

cairo_t* Cairo::createContext(cairo_surface_t* surface) {
    return callEntry(s_entries.create, "createContext", surface);
}

void Cairo::destroyContext(cairo_t* context) {
    callEntry(s_entries.destroy, "destroyContext", context);
}

void Cairo::destroySurface(cairo_surface_t* surface) {
    callEntry(s_entries.surfaceDestroy, "destroySurface", surface);
}

cairo_surface_t* Cairo::imageSurfaceCreate(cairo_format_t format, int width, int height) {
    return callEntry(s_entries.imageSurfaceCreate, "imageSurfaceCreate", format, width, height);
}

unsigned char* Cairo::imageSurfaceGetData(cairo_surface_t* surface) {
    return callEntry(s_entries.imageSurfaceGetData, "imageSurfaceGetData", surface);
}

int Cairo::imageSurfaceGetWidth(cairo_surface_t* surface) {
    return callEntry(s_entries.imageSurfaceGetWidth, "imageSurfaceGetWidth", surface);
}

int Cairo::imageSurfaceGetHeight(cairo_surface_t* surface) {
    return callEntry(s_entries.imageSurfaceGetHeight, "imageSurfaceGetHeight", surface);
}

void Cairo::createRectangle(cairo_t* context, double x, double y, double width, double height) {
    callEntry(s_entries.rectangle, "createRectangle", context, x, y, width, height);
}

void Cairo::contextFill(cairo_t* context) {
    callEntry(s_entries.fill, "contextFill", context);
}

void Cairo::setAntialias(cairo_t* context, cairo_antialias_t antialias) {
    callEntry(s_entries.setAntialias, "setAntialias", context, antialias);
}

void Cairo::setLineWidth(cairo_t* context, double width) {
    callEntry(s_entries.setLineWidth, "setLineWidth", context, width);
}

void Cairo::setOperator(cairo_t* context, cairo_operator_t op) {
    callEntry(s_entries.setOperator, "setOperator", context, op);
}

void Cairo::setSource_RGBA(cairo_t* context, double red, double green, double blue, double alpha) {
    callEntry(s_entries.setSourceRgba, "setSource_RGBA", context, red, green, blue, alpha);
}

void Cairo::moveTo(cairo_t* context, double x, double y) {
    callEntry(s_entries.moveTo, "moveTo", context, x, y);
}

void Cairo::lineTo(cairo_t* context, double x, double y) {
    callEntry(s_entries.lineTo, "lineTo", context, x, y);
}

void Cairo::closePath(cairo_t* context) {
    callEntry(s_entries.closePath, "closePath", context);
}

void Cairo::stroke(cairo_t* context) {
    callEntry(s_entries.stroke, "stroke", context);
}

void Cairo::surfaceFlush(cairo_surface_t* surface) {
    callEntry(s_entries.surfaceFlush, "surfaceFlush", surface);
}
