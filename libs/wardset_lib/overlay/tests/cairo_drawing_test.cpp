#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "geometry/polygon.h"
#include "guard/alarm_data.h"
#include "guard/alarm_data_container.h"
#include "overlay/alarm_drawing.h"
#include "overlay/cairo_handler.h"
#include "overlay/cairo_transform.h"
#include "overlay/cairo_wrapper.h"
#include "palette_png.h"
#include "syslog_capture.h"
#include "tracking_test_objects.h"

namespace {

constexpr unsigned char kDrawn = 0x44;
constexpr unsigned char kClear = 0x55;

const StreamSettings kFullHd(1920, 1080, 0, false);
const ExternalOverlayUnion kNoBands;

// The outer bounds, in surface pixels and inclusive, of a rectangle outline
// two pixels thick.
struct Outline {
    int left;
    int top;
    int right;
    int bottom;
};

// A transparent surface with the given outlines, cut at its edges.
std::vector<unsigned char> surfaceWith(int width, int height,
                                       const std::vector<Outline>& outlines) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * height, kClear);
    for (const Outline& o : outlines) {
        for (int y = std::max(o.top, 0); y <= std::min(o.bottom, height - 1); ++y) {
            for (int x = std::max(o.left, 0); x <= std::min(o.right, width - 1); ++x) {
                if (x <= o.left + 1 || x >= o.right - 1 || y <= o.top + 1 || y >= o.bottom - 1) {
                    bytes[static_cast<std::size_t>(y) * width + x] = kDrawn;
                }
            }
        }
    }
    return bytes;
}

// One frame's content; boxes are filled by the test.
struct Frame {
    explicit Frame(const StreamSettings& frameSettings,
                   const ExternalOverlayUnion& bands = kNoBands)
        : settings(frameSettings), overlayUnion(bands) {}

    AlarmDrawing drawing() const { return {alarms, profileIds, boxes, settings, overlayUnion}; }

    AlarmDataContainer alarms;
    std::vector<int> profileIds;
    CairoBoundingBoxContainer boxes;
    StreamSettings settings;
    ExternalOverlayUnion overlayUnion;
};

class CairoDrawingTest : public ::testing::Test {
  protected:
    // The library stays loaded until the process ends: it keeps caches of its
    // own, which unloading it would leave unreachable (and the leak checker
    // would report).
    static void SetUpTestSuite() {
        ASSERT_TRUE(Cairo::initialize())
            << "needs the system's libcairo.so.2 (scripts/bootstrap.sh)";
    }

    // Compares every byte of the surface. On a difference the surface is also
    // written as <name>.png beside the test, to be looked at.
    static void expectSurface(const CairoHandler& drawer,
                              const std::vector<unsigned char>& expected, const std::string& name) {
        ASSERT_NE(drawer.getData(), nullptr);
        const int width = drawer.getWidth();
        ASSERT_EQ(static_cast<std::size_t>(width) * drawer.getHeight(), expected.size());
        std::size_t differences = 0;
        std::string first;
        for (std::size_t at = 0; at < expected.size(); ++at) {
            if (drawer.getData()[at] != expected[at] && differences++ == 0) {
                first = "first at x " + std::to_string(at % width) + ", y " +
                        std::to_string(at / width) + ": " + std::to_string(drawer.getData()[at]);
            }
        }
        EXPECT_EQ(differences, 0u) << name << ": " << first;
        if (differences > 0) {
            Palette palette;
            palette[4] = PaletteColor{255, 0, 0, 155};
            palette[5] = PaletteColor{0, 0, 0, 0};
            std::string error;
            writePalettePng(name + ".png", drawer.getData(), 2 * width, drawer.getHeight(), palette,
                            error);
        }
    }
};

TEST_F(CairoDrawingTest, AnAlarmedObjectIsOutlinedAndNothingElseIsTouched) {
    // The scene origin is the image centre; surface x is half the overlay x.
    const PixelPoint origin = Transform::Cairo::toPixelValue(0, 0, kFullHd, kNoBands);
    EXPECT_EQ(origin.x, 960);
    EXPECT_EQ(origin.y, 540);

    CairoHandler drawer(kFullHd, kNoBands);
    // 1080 rows are cut to whole macro blocks: exactly the overlay's pixel data.
    EXPECT_EQ(drawer.getWidth(), 960);
    EXPECT_EQ(drawer.getHeight(), 1072);
    expectSurface(drawer, surfaceWith(960, 1072, {}), "empty");

    Frame frame(kFullHd);
    frame.boxes.insert(*trackedRectangle(1, 0, -512, 512, -512, 512), kFullHd, 0, kNoBands);
    EXPECT_TRUE(renderCairoData(drawer, frame.drawing()));
    // Overlay box x 840 … 1080, y 473 … 608: surface x 420 … 540.
    expectSurface(drawer, surfaceWith(960, 1072, {{419, 472, 540, 608}}), "centred_box");
}

TEST_F(CairoDrawingTest, EachRotationPlacesTheObjectWhereItLooksInTheTurnedImage) {
    struct Case {
        int rotation;
        int width;  // of the surface
        int height;
        Outline outline;
    };
    // A 1024-unit square right of and above the centre on a 1920 × 1080 stream.
    const Case cases[] = {
        {0, 960, 1072, {599, 337, 720, 473}},    // right, upper half
        {180, 960, 1072, {239, 607, 360, 743}},  // left, lower half
        {90, 536, 1920, {303, 1199, 371, 1440}},
        {270, 536, 1920, {168, 479, 236, 720}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        const StreamSettings settings(1920, 1080, c.rotation, false);
        CairoHandler drawer(settings, kNoBands);
        Frame frame(settings);
        frame.boxes.insert(*trackedRectangle(1, 0, 1024, 2048, 512, 1536), settings, 0, kNoBands);
        renderCairoData(drawer, frame.drawing());
        expectSurface(drawer, surfaceWith(c.width, c.height, {c.outline}),
                      "rotation_" + std::to_string(c.rotation));
    }
}

TEST_F(CairoDrawingTest, AMovingObjectIsDrawnWhereItIsExpectedOnDisplay) {
    CairoHandler drawer(kFullHd, kNoBands);
    Frame frame(kFullHd);
    const TrackingObject moving(rectangleMote(1, 0, -512, 512, -512, 512, {4096, 0}), 0, 1.0f);
    // 250 ms at 4096 units per second: 1024 units (240 overlay pixels) to the right.
    frame.boxes.insert(moving, kFullHd, 250000, kNoBands);
    // The first box of an object in a frame stays.
    frame.boxes.insert(moving, kFullHd, 500000, kNoBands);
    renderCairoData(drawer, frame.drawing());
    expectSurface(drawer, surfaceWith(960, 1072, {{539, 472, 660, 608}}), "predicted_box");
}

TEST_F(CairoDrawingTest, PolygonsOfEnabledProfilesAreOutlinedAndErasedWithoutTrace) {
    CairoHandler drawer(kFullHd, kNoBands);
    const Polygon square(-2048, 2048, -2048, 2048);
    const Point corners[] = {{-3000, -2500}, {3500, -1000}, {200, 3900}};
    const Polygon triangle(corners, 3);
    Frame frame(kFullHd);
    auto enabled = std::make_unique<AlarmData>(3);
    enabled->addPolygonToDisplay(&square);
    auto disabled = std::make_unique<AlarmData>(4);
    disabled->addPolygonToDisplay(&triangle);
    frame.alarms.insert(std::move(enabled));
    frame.alarms.insert(std::move(disabled));
    frame.profileIds = {3};

    EXPECT_TRUE(renderCairoData(drawer, frame.drawing()));
    // Overlay x 480 … 1440 and y 270 … 810: surface x 240 … 720.
    expectSurface(drawer, surfaceWith(960, 1072, {{239, 269, 720, 810}}), "square");
    clearCairoSurface(drawer, frame.drawing());
    drawer.flush();
    expectSurface(drawer, surfaceWith(960, 1072, {}), "square_erased");

    // Slanted edges and a box that overlaps them leave nothing either.
    frame.profileIds = {4, 3};
    frame.boxes.insert(2, 0, 0, 3000, 3000, kFullHd, kNoBands);
    renderCairoData(drawer, frame.drawing());
    clearCairoSurface(drawer, frame.drawing());
    drawer.flush();
    expectSurface(drawer, surfaceWith(960, 1072, {}), "triangle_erased");
}

TEST_F(CairoDrawingTest, OnlyFramesThatChangeTheSurfaceReportAChange) {
    CairoHandler drawer(kFullHd, kNoBands);
    const Polygon square(-2048, 2048, -2048, 2048);
    Frame empty(kFullHd);
    Frame withBox(kFullHd);
    withBox.boxes.insert(1, 0, 0, 1024, 1024, kFullHd, kNoBands);
    Frame withPolygon(kFullHd);
    auto alarm = std::make_unique<AlarmData>(1);
    alarm->addPolygonToDisplay(&square);
    withPolygon.alarms.insert(std::move(alarm));
    withPolygon.profileIds = {1};

    EXPECT_FALSE(renderCairoData(drawer, empty.drawing()));  // new surfaces are clear
    EXPECT_TRUE(renderCairoData(drawer, withBox.drawing()));
    clearCairoSurface(drawer, withBox.drawing());
    EXPECT_TRUE(renderCairoData(drawer, withPolygon.drawing()));
    clearCairoSurface(drawer, withPolygon.drawing());
    // Erased outlines still count as shown until one empty frame clears all.
    EXPECT_TRUE(renderCairoData(drawer, empty.drawing()));
    expectSurface(drawer, surfaceWith(960, 1072, {}), "cleared");
    EXPECT_FALSE(renderCairoData(drawer, empty.drawing()));
    EXPECT_TRUE(renderCairoData(drawer, withBox.drawing()));
}

TEST_F(CairoDrawingTest, BandsOfOtherOverlaysShrinkTheSurfaceAndShiftItsRows) {
    // A 48-row band at the top: everything moves up by 48 rows.
    const ExternalOverlayUnion topBand(48, 0);
    CairoHandler banded(kFullHd, topBand);
    EXPECT_EQ(banded.getHeight(), 1024);
    Frame centred(kFullHd, topBand);
    centred.boxes.insert(*trackedRectangle(1, 0, -512, 512, -512, 512), kFullHd, 0, topBand);
    renderCairoData(banded, centred.drawing());
    expectSurface(banded, surfaceWith(960, 1024, {{419, 424, 540, 560}}), "top_band");

    // An object at the bottom edge of a 1080-row stream: the rows below the
    // last whole macro block are not part of the surface and are not drawn.
    CairoHandler drawer(kFullHd, kNoBands);
    Frame bottom(kFullHd);
    bottom.boxes.insert(*trackedRectangle(1, 0, -512, 512, -4096, -3584), kFullHd, 0, kNoBands);
    renderCairoData(drawer, bottom.drawing());
    expectSurface(drawer, surfaceWith(960, 1072, {{419, 1013, 540, 1081}}), "bottom_edge");
}

TEST_F(CairoDrawingTest, BandsThatLeaveNoRowsGiveNoSurfaceAndOneWarning) {
    SyslogCapture capture;
    CairoHandler drawer(kFullHd, ExternalOverlayUnion(608, 480));
    Frame frame(kFullHd, ExternalOverlayUnion(608, 480));
    frame.boxes.insert(1, 0, 0, 1024, 1024, kFullHd, frame.overlayUnion);
    renderCairoData(drawer, frame.drawing());
    clearCairoSurface(drawer, frame.drawing());
    const std::string log = capture.take();

    EXPECT_EQ(drawer.getData(), nullptr);
    const auto warning =
        log.find("No room for the alarm overlay: other overlays cover 1088 of 1072");
    EXPECT_NE(warning, std::string::npos) << log;
    EXPECT_EQ(log.find("No room", warning + 1), std::string::npos) << log;
    EXPECT_EQ(log.find("Can not use"), std::string::npos) << log;

    // Streams without a size yet are no reason to warn.
    SyslogCapture unsized;
    CairoHandler none(StreamSettings(0, 0, 0, false), kNoBands);
    EXPECT_EQ(none.getData(), nullptr);
    EXPECT_EQ(unsized.take().find("No room"), std::string::npos);
}

}  // namespace
