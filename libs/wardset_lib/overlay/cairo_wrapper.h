#pragma once

#include <gmodule.h>

// The drawing library is loaded at run time, so the program neither includes
// its headers nor links it. These are the few types, values and entry points
// of the library's C interface that the overlay uses, declared as the library
// declares them.
extern "C" {
struct _cairo;
struct _cairo_surface;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

// One byte of alpha per element.
enum cairo_format_t : int { CAIRO_FORMAT_A8 = 2 };
enum cairo_antialias_t : int { CAIRO_ANTIALIAS_NONE = 1 };
// Drawing replaces the destination bytes instead of blending into them.
enum cairo_operator_t : int { CAIRO_OPERATOR_SOURCE = 1 };
}

// The drawing library, loaded by name ("libcairo.so.2"). Process-wide and not
// locked: loading, unloading and drawing all happen under the alarm overlay
// lock. Each operation whose entry point is not loaded logs "Can not use"
// with its name at error level and does nothing (getters give null or 0).
class Cairo {
  public:
    Cairo() = delete;

    // Opens the library and looks up all entry points in one pass. On the
    // first failure logs "Failed to load cairo. ...", closes the library and
    // leaves no entry point set. True when loaded (also when already loaded).
    static bool initialize(const char* libraryName = kLibraryName);
    // Forgets the entry points and closes the library; a library that loaded
    // completely stays mapped (its own caches stay reachable).
    static void deinitialize();
    static bool isModuleOpen() { return s_module_p != nullptr; }

    static cairo_t* createContext(cairo_surface_t* surface);
    static void destroyContext(cairo_t* context);
    static void destroySurface(cairo_surface_t* surface);
    static cairo_surface_t* imageSurfaceCreate(cairo_format_t format, int width, int height);
    static unsigned char* imageSurfaceGetData(cairo_surface_t* surface);
    static int imageSurfaceGetWidth(cairo_surface_t* surface);
    static int imageSurfaceGetHeight(cairo_surface_t* surface);
    static void createRectangle(cairo_t* context, double x, double y, double width, double height);
    static void contextFill(cairo_t* context);
    static void setAntialias(cairo_t* context, cairo_antialias_t antialias);
    static void setLineWidth(cairo_t* context, double width);
    static void setOperator(cairo_t* context, cairo_operator_t op);
    static void setSource_RGBA(cairo_t* context, double red, double green, double blue,
                               double alpha);
    static void moveTo(cairo_t* context, double x, double y);
    static void lineTo(cairo_t* context, double x, double y);
    static void closePath(cairo_t* context);
    static void stroke(cairo_t* context);
    static void surfaceFlush(cairo_surface_t* surface);

    static constexpr const char* kLibraryName = "libcairo.so.2";

  private:
    struct EntryPoints {
        cairo_t* (*create)(cairo_surface_t*);
        void (*fill)(cairo_t*);
        void (*destroy)(cairo_t*);
        void (*surfaceDestroy)(cairo_surface_t*);
        cairo_surface_t* (*imageSurfaceCreate)(cairo_format_t, int, int);
        unsigned char* (*imageSurfaceGetData)(cairo_surface_t*);
        int (*imageSurfaceGetWidth)(cairo_surface_t*);
        int (*imageSurfaceGetHeight)(cairo_surface_t*);
        void (*rectangle)(cairo_t*, double, double, double, double);
        void (*setAntialias)(cairo_t*, cairo_antialias_t);
        void (*setLineWidth)(cairo_t*, double);
        void (*setOperator)(cairo_t*, cairo_operator_t);
        void (*setSourceRgba)(cairo_t*, double, double, double, double);
        void (*moveTo)(cairo_t*, double, double);
        void (*closePath)(cairo_t*);
        void (*lineTo)(cairo_t*, double, double);
        void (*stroke)(cairo_t*);
        void (*surfaceFlush)(cairo_surface_t*);
    };

    // Fills entries in the library's order of look-up; names the first
    // missing entry point.
    static bool loadEntryPoints(GModule* module, EntryPoints& entries, const char** missing);
    static void closeModule();

    static GModule* s_module_p;
    static EntryPoints s_entries;
};
