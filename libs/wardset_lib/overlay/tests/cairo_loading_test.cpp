#include <gtest/gtest.h>

#include <string>

#include "overlay/cairo_handler.h"
#include "overlay/cairo_wrapper.h"
#include "syslog_capture.h"

namespace {

// Runs with a library of the drawing library's name first on the library path
// that has every entry point but "cairo_stroke".
TEST(CairoLoading, AMissingEntryPointLeavesEveryOperationUnusable) {
    SyslogCapture capture;
    EXPECT_FALSE(Cairo::initialize());
    EXPECT_FALSE(Cairo::isModuleOpen());

    // Entry points looked up before the missing one are not kept either.
    EXPECT_EQ(Cairo::createContext(nullptr), nullptr);
    Cairo::destroyContext(nullptr);
    Cairo::destroySurface(nullptr);
    EXPECT_EQ(Cairo::imageSurfaceCreate(CAIRO_FORMAT_A8, 8, 8), nullptr);
    EXPECT_EQ(Cairo::imageSurfaceGetData(nullptr), nullptr);
    EXPECT_EQ(Cairo::imageSurfaceGetWidth(nullptr), 0);
    EXPECT_EQ(Cairo::imageSurfaceGetHeight(nullptr), 0);
    Cairo::createRectangle(nullptr, 0, 0, 1, 1);
    Cairo::contextFill(nullptr);
    Cairo::setAntialias(nullptr, CAIRO_ANTIALIAS_NONE);
    Cairo::setLineWidth(nullptr, 2);
    Cairo::setOperator(nullptr, CAIRO_OPERATOR_SOURCE);
    Cairo::setSource_RGBA(nullptr, 0, 0, 0, 0);
    Cairo::moveTo(nullptr, 0, 0);
    Cairo::lineTo(nullptr, 1, 1);
    Cairo::closePath(nullptr);
    Cairo::stroke(nullptr);
    Cairo::surfaceFlush(nullptr);
    const std::string log = capture.take();

    EXPECT_NE(log.find("Failed to load cairo. Could not open cairo_stroke\n"), std::string::npos)
        << log;
    for (const char* operation :
         {"createContext", "destroyContext", "destroySurface", "imageSurfaceCreate",
          "imageSurfaceGetData", "imageSurfaceGetWidth", "imageSurfaceGetHeight", "createRectangle",
          "contextFill", "setAntialias", "setLineWidth", "setOperator", "setSource_RGBA", "moveTo",
          "lineTo", "closePath", "stroke", "surfaceFlush"}) {
        EXPECT_NE(log.find(std::string("Can not use ") + operation + "\n"), std::string::npos)
            << operation;
    }
}

TEST(CairoLoading, ADrawerWithoutTheLibraryHasNoSurface) {
    SyslogCapture capture;
    CairoHandler drawer(StreamSettings(1920, 1080, 0, false), ExternalOverlayUnion());
    EXPECT_EQ(drawer.getData(), nullptr);
    drawer.drawObject(CairoBoundingBox{10, 10, 20, 20});
    drawer.flush();
    const std::string log = capture.take();
    // Only the surface was asked for: drawing without one never reaches the library.
    EXPECT_NE(log.find("Can not use imageSurfaceCreate\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Can not use"), log.rfind("Can not use")) << log;
}

}  // namespace
