#include <gtest/gtest.h>

#include <string>

#include "overlay/external_overlay.h"
#include "overlay/external_overlay_container.h"
#include "syslog_capture.h"

namespace {

const StreamSettings kUpright(1280, 1024, 0, false);
const StreamSettings kSideways(1280, 1024, 90, false);  // 1280 rows when turned

ExternalOverlay placed(int id, bool scaled, ExternalOverlayType_e type, const char* position,
                       const char* size) {
    ExternalOverlay overlay(id, scaled, type);
    EXPECT_TRUE(overlay.setProperties({id, std::string(position), std::string(size)}));
    return overlay;
}

void expectMargins(const ExternalOverlay& overlay, const StreamSettings& settings, int top,
                   int bottom) {
    EXPECT_EQ(overlay.getTop(settings), top);
    EXPECT_EQ(overlay.getBottom(settings), bottom);
}

TEST(ExternalOverlay, NamedPositionsCoverTheirBand) {
    const auto top = placed(1, false, EXTERNAL_OVERLAY_TEXT, "topright", "300x40");
    expectMargins(top, kUpright, 40, 0);
    expectMargins(top, kSideways, 40, 0);
    const auto bottom = placed(2, false, EXTERNAL_OVERLAY_IMAGE, "bottom", "300x40");
    expectMargins(bottom, kUpright, 0, 40);
    // Scaled overlays are laid out for 1080 rows of the stream's (unturned) height.
    const auto scaled = placed(3, true, EXTERNAL_OVERLAY_TEXT, "bottomleft", "300x54");
    expectMargins(scaled, kUpright, 0, 51);
    expectMargins(scaled, kSideways, 0, 51);
    // Overlays the service does not place keep the margins they were given.
    const auto other = placed(4, true, EXTERNAL_OVERLAY_OTHER, "top", "300x54");
    expectMargins(other, kUpright, 54, 0);
}

TEST(ExternalOverlay, CustomPositionsCoverTheBandToTheNearerEdge) {
    // Top edge at row 0: a top band of its height.
    const auto upper = placed(1, false, EXTERNAL_OVERLAY_IMAGE, "-1,-1", "200x100");
    expectMargins(upper, kUpright, 100, 0);
    // Top edge at 90 % of the rows: the band from there to the bottom.
    const auto lower = placed(2, false, EXTERNAL_OVERLAY_IMAGE, "0.5,0.8", "200x100");
    expectMargins(lower, kUpright, 0, 103);   // 1024 - 921
    expectMargins(lower, kSideways, 0, 128);  // 1280 - 1152
    // Scaled: 108 rows of 1080 (of 1920 when turned); "x" separates too.
    const auto scaled = placed(3, true, EXTERNAL_OVERLAY_TEXT, "0x-1", "300x108");
    expectMargins(scaled, kUpright, 102, 0);  // 108 × 1024 / 1080
    expectMargins(scaled, kSideways, 72, 0);  // 108 × 1280 / 1920
}

TEST(ExternalOverlay, UnparsableTextsKeepThePreviousMargins) {
    auto overlay = placed(7, false, EXTERNAL_OVERLAY_TEXT, "top", "300x40");
    auto custom = placed(8, false, EXTERNAL_OVERLAY_TEXT, "0,0.8", "300x40");
    SyslogCapture capture;
    EXPECT_FALSE(overlay.setProperties({7, std::string("middle"), std::string("300x60")}));
    EXPECT_FALSE(overlay.setProperties({7, std::nullopt, std::string("60")}));
    EXPECT_FALSE(overlay.setProperties({7, std::string("0.5,1.5"), std::nullopt}));
    EXPECT_FALSE(custom.setProperties({8, std::string("a,0.5"), std::string("300x60")}));
    const std::string log = capture.take();
    expectMargins(overlay, kUpright, 40, 0);
    expectMargins(custom, kUpright, 0, 103);
    for (const char* text :
         {"Could not set properties for overlay 7: Could not parse the position of the overlay: "
          "middle\n",
          "Could not set properties for overlay 7: Failed to parse height: 60\n",
          "Could not set properties for overlay 7: Failed to handle overlay property position "
          "string: 0.5,1.5\n",
          "Could not set properties for overlay 8: Failed to handle overlay property position "
          "string: a,0.5\n"}) {
        EXPECT_NE(log.find(text), std::string::npos) << text << log;
    }
}

TEST(ExternalOverlay, ASizeAloneKeepsTheSideOrThePlace) {
    auto named = placed(1, false, EXTERNAL_OVERLAY_TEXT, "bottom", "300x40");
    EXPECT_TRUE(named.setProperties({1, std::nullopt, std::string("300x64")}));
    expectMargins(named, kUpright, 0, 64);
    auto custom = placed(2, false, EXTERNAL_OVERLAY_TEXT, "-1,-1", "300x40");
    EXPECT_TRUE(custom.setProperties({2, std::string(), std::string("300x64")}));
    expectMargins(custom, kUpright, 64, 0);
}

TEST(ExternalOverlayContainer, TheUnionFollowsAnnouncementsChangesAndRemovals) {
    ExternalOverlayContainer container(kUpright);
    container.insert(placed(1, false, EXTERNAL_OVERLAY_TEXT, "top", "300x40"));
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(48, 0));  // whole macro blocks
    container.insert(placed(2, false, EXTERNAL_OVERLAY_TEXT, "bottom", "300x20"));
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(48, 32));

    // A new announcement replaces the overlay of that id.
    container.insert(placed(1, false, EXTERNAL_OVERLAY_TEXT, "bottom", "300x70"));
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(0, 80));
    container.updateOverlayProperties({2, std::string("top"), std::nullopt});
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(32, 80));
    container.remove(1);
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(32, 0));
    EXPECT_EQ(container.getExternalOverlay(1), nullptr);

    SyslogCapture capture;
    container.updateOverlayProperties({9, std::string("top"), std::string("300x500")});
    EXPECT_NE(capture.take().find("Could not find external overlay for proprties change: 9\n"),
              std::string::npos);
    EXPECT_EQ(container.getResultingUnion(), ExternalOverlayUnion(32, 0));
}

}  // namespace
