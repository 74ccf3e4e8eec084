#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_log.h"
#include "geometry/polygon.h"
#include "occupancy_guard.h"
#include "platform_events_fixture.h"
#include "svg/svg_doc.h"
#include "svg/svg_utils.h"

namespace {

using guardtest::Box;
using guardtest::kFrameInterval;
using guardtest::kSecond;
using guardtest::OccupancyGuard;
using guardtest::RecordingProducer;
using guardtest::SceneScript;
using guardtest::square;
using Lines = std::vector<std::string>;

const char* const kHeader = "<g transform=\"matrix(1 0 0 -1 0 0)\" >";
const char* const kEmptyPicture = "send xinternal_data <svg><desc></desc></svg>";

std::string sentPicture(const std::string& body) {
    return "send xinternal_data " + SvgDoc(kHeader, body).toString();
}

// The occupancy guard (in alarm while a confident object is seen) with its
// pictures going to the platform's event log.
class AreaGuardVisualConfirmationTest : public PlatformEventsFixture {
  protected:
    void play(int64_t time, const std::vector<Box>& boxes) {
        guard.checkObjects(script.frame(time, boxes));
    }
    static std::string box(const Box& b, const std::string& style) {
        return Polygon(b.minX, b.maxX, b.minY, b.maxY).toBoundingBoxStringSvg(style, "");
    }
    Lines pictures() { return eventlog::read(root, "send"); }

    RecordingProducer producer;
    OccupancyGuard guard{producer, -2};
    SceneScript script;
};

TEST_F(AreaGuardVisualConfirmationTest, EachEvaluatedFrameIsSentWhileOn) {
    play(0, {square(1, 0, 0)});  // not on yet
    ASSERT_TRUE(guard.enableVisualConfirmation(kHeader));
    EXPECT_TRUE(guard.isVisualConfirmationAllowedToSend());
    EXPECT_EQ(guard.getVisualConfirmationId(), kHeader);

    Box unsure = square(2, 1000, 0);
    unsure.confident = false;
    // The event started with the first frame: the area is drawn with the boxes.
    play(kFrameInterval, {square(1, 0, 0), unsure});
    const std::string alarmBox = box(square(1, 0, 0), SVG_Utils::alarmStyle());
    EXPECT_EQ(pictures(), Lines{sentPicture(alarmBox + OccupancyGuard::kAreaSvg)});

    // A frame that is all unconfident objects draws nothing but the area.
    play(2 * kFrameInterval, {unsure});
    EXPECT_EQ(pictures().back(), sentPicture(OccupancyGuard::kAreaSvg));

    guard.disableVisualConfirmation();
    EXPECT_FALSE(guard.isVisualConfirmationAllowedToSend());
    play(3 * kFrameInterval, {square(1, 0, 0)});
    EXPECT_EQ(pictures().size(), 3u);  // the two pictures and the disabling empty text
    EXPECT_EQ(pictures().back(), "send xinternal_data ");
}

TEST_F(AreaGuardVisualConfirmationTest, ATestAlarmShowsTheAreaThenClearsTheScreen) {
    ASSERT_TRUE(guard.enableVisualConfirmation(kHeader));
    guard.sendAlarmEvent();
    int64_t time = 10 * kSecond;
    for (; time <= 10 * kSecond + guardtest::kEventDuration; time += kFrameInterval) {
        play(time, {square(1, 0, 0)});
    }
    const Lines during = pictures();
    ASSERT_EQ(during.size(), 31u);
    EXPECT_EQ(during.front(), sentPicture(OccupancyGuard::kAreaSvg));
    EXPECT_EQ(during.back(), sentPicture(OccupancyGuard::kAreaSvg));

    play(time, {square(1, 0, 0)});  // ends the test alarm
    EXPECT_EQ(pictures().size(), 32u);
    EXPECT_EQ(pictures().back(), kEmptyPicture);
    EXPECT_EQ(guard.evaluatedFrames, 0);
}

TEST_F(AreaGuardVisualConfirmationTest, EveryMovementClearsTheScreenAndEndsTheEvent) {
    ASSERT_TRUE(guard.enableVisualConfirmation(kHeader));
    play(0, {square(1, 0, 0)});
    guard.handleMovementEvent(true, kSecond);
    guard.handleMovementEvent(false, 2 * kSecond);
    EXPECT_EQ(pictures(), (Lines{sentPicture(box(square(1, 0, 0), SVG_Utils::alarmStyle()) +
                                             OccupancyGuard::kAreaSvg),
                                 kEmptyPicture, kEmptyPicture}));
    EXPECT_EQ(producer.sent,
              (Lines{RecordingProducer::at("start", 0), RecordingProducer::at("end", kSecond)}));
}

TEST_F(AreaGuardVisualConfirmationTest, AfterFifteenMinutesOnlyOneEmptyTextIsSent) {
    ASSERT_TRUE(guard.enableVisualConfirmation(kHeader));
    const int64_t late = g_get_monotonic_time() + 901 * kSecond;
    play(late, {square(1, 0, 0)});
    play(late + kFrameInterval, {square(1, 0, 0)});
    EXPECT_EQ(pictures(), Lines{"send xinternal_data "});
}

}  // namespace
