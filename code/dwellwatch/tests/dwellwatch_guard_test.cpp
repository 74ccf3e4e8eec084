#include "dwellwatch/dwellwatch_guard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dwellwatch/dw_state_event_producer.h"
#include "event_log.h"
#include "filters/size_filter_percent.h"
#include "guard/guard_record.h"
#include "platform_events_fixture.h"
#include "scene_script.h"
#include "svg/svg_doc.h"

namespace {

using guardtest::Box;
using guardtest::kFrameInterval;
using guardtest::kSecond;
using guardtest::SceneScript;
using guardtest::square;
using Lines = std::vector<std::string>;

constexpr int kId = 1;
constexpr int64_t kEventDuration = 3 * kSecond;
const Lines kStartLines{"send Camera1Profile1 1", "send Camera1ProfileANY 1",
                        "send MotionAlarm:0 1"};
const Lines kEndLines{"send Camera1Profile1 0", "send Camera1ProfileANY 0", "send MotionAlarm:0 0"};

Lines concat(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A single-channel device without PTZ; the guard watches -2000..2000 on both
// axes and publishes through the product's event producer.
class DwellwatchGuardTest : public PlatformEventsFixture {
  protected:
    void makeGuard(int64_t individual, int64_t group,
                   std::unique_ptr<SwayingFilter> swaying = nullptr, int rotation = 0) {
        guard = std::make_unique<DwellwatchGuard>(Polygon(-2000, 2000, -2000, 2000), "Entrance",
                                                  kId, 1, kEventDuration, "Dwellwatch",
                                                  DW_StateEventProducer::getInstance(), individual,
                                                  group, rotation, -2, std::move(swaying));
    }

    std::unique_ptr<AlarmData> play(int64_t time, const std::vector<Box>& boxes,
                                    const std::vector<int>& vanished = {}) {
        auto data = guard->checkObjects(script.frame(time, boxes, vanished));
        EXPECT_NE(data, nullptr);
        return data;
    }
    // Frames every 100 ms from first to last with the same boxes.
    std::unique_ptr<AlarmData> playFrom(int64_t first, int64_t last,
                                        const std::vector<Box>& boxes) {
        std::unique_ptr<AlarmData> data;
        for (int64_t time = first; time <= last; time += kFrameInterval) {
            data = play(time, boxes);
        }
        return data;
    }

    AlarmDataStatus_e statusOf(const AlarmData& data, size_t index = 0) {
        return data.getObjects().at(index).status;
    }
    int64_t loiteringTimeOf(int id) {
        const auto* record =
            guard::findRecord<LoiteringAreaExternalData>(*script.find(id), "loiteringArea_1");
        return record != nullptr ? record->getLoiteringTime() : -1;
    }
    Lines sent() { return eventlog::read(root, "send"); }
    // A picture of the guard with the group header "<g>".
    static std::string picture(const std::string& body) { return SvgDoc("<g>", body).toString(); }
    // The frame pictures sent so far, without the event name.
    Lines pictures() {
        const std::string prefix = "send xinternal_data ";
        Lines result;
        for (const std::string& line : sent()) {
            if (line.compare(0, prefix.size(), prefix) == 0) {
                result.push_back(line.substr(prefix.size()));
            }
        }
        return result;
    }

    SceneScript script;
    std::unique_ptr<DwellwatchGuard> guard;
};

TEST_F(DwellwatchGuardTest, AnObjectInsideForTenSecondsAlarmsInTheFrameAtTenSeconds) {
    makeGuard(10 * kSecond, 0);
    const auto before = playFrom(0, 10 * kSecond - kFrameInterval, {square(1, 0, 0)});
    EXPECT_EQ(statusOf(*before), OBJECT_NO_ALARM);
    EXPECT_FALSE(before->isAlarm());
    EXPECT_EQ(sent(), Lines{});

    const auto at10 = play(10 * kSecond, {square(1, 0, 0)});
    EXPECT_EQ(loiteringTimeOf(1), 10 * kSecond);
    EXPECT_EQ(statusOf(*at10), OBJECT_ALARM);
    EXPECT_TRUE(at10->isAlarm());
    EXPECT_TRUE(at10->getPolygonsToDisplay().empty());  // the overlay boxes the object
    EXPECT_EQ(sent(), kStartLines);
}

TEST_F(DwellwatchGuardTest, OneFrameOutsideResetsTheTimeAndEndsTheObjectsAlarm) {
    makeGuard(10 * kSecond, 0);
    playFrom(0, 10 * kSecond, {square(1, 0, 0)});
    const auto outside = play(10 * kSecond + kFrameInterval, {square(1, 3000, 0)});
    EXPECT_EQ(statusOf(*outside), OBJECT_OUTSIDE);
    EXPECT_FALSE(outside->isAlarm());
    EXPECT_EQ(loiteringTimeOf(1), 0);

    const auto back = playFrom(10 * kSecond + 2 * kFrameInterval, 13 * kSecond, {square(1, 0, 0)});
    EXPECT_EQ(statusOf(*back), OBJECT_NO_ALARM);
    EXPECT_EQ(sent(), kStartLines);  // the event outlasts the alarm by the minimum duration
    play(13 * kSecond + kFrameInterval, {square(1, 0, 0)});
    EXPECT_EQ(sent(), concat(kStartLines, kEndLines));
}

TEST_F(DwellwatchGuardTest, AnObjectThatReachedItsTimeWhileFilteredAlarmsOnceItPasses) {
    makeGuard(10 * kSecond, 0);
    guard->addExclusionFilter(std::make_unique<SizeFilterPercent>(10, 10, true));  // 819 units
    const auto small = playFrom(0, 10 * kSecond, {square(1, 0, 0)});
    EXPECT_EQ(statusOf(*small), OBJECT_FILTERED);
    EXPECT_FALSE(small->isAlarm());
    EXPECT_TRUE(guard->getData(*script.find(1)).hasPendingAlarm());

    // Grown large enough, but outside: it alarms where it is, once.
    const auto grown = play(10 * kSecond + kFrameInterval, {square(1, 3000, 0, 500)});
    EXPECT_EQ(statusOf(*grown), OBJECT_OUTSIDE);
    EXPECT_TRUE(grown->isAlarm());
    EXPECT_FALSE(guard->getData(*script.find(1)).hasPendingAlarm());
    EXPECT_FALSE(play(10 * kSecond + 2 * kFrameInterval, {square(1, 3000, 0, 500)})->isAlarm());
    EXPECT_EQ(sent(), kStartLines);
}

TEST_F(DwellwatchGuardTest, OnlyObjectsThatCouldTriggerHandTheirTimeToANewObject) {
    makeGuard(10 * kSecond, 0);
    Box unconfident = square(1, -1000, 0);
    unconfident.confident = false;
    for (int64_t time = 0; time <= 7 * kSecond; time += kFrameInterval) {
        play(time, {unconfident, square(2, 1000, 0)});
    }
    play(7 * kSecond + kFrameInterval, {}, {1, 2});
    ASSERT_EQ(guard->getArea().getDroppedTimes().size(), 1u);
    EXPECT_EQ(guard->getArea().getDroppedTimes().front().position.x, 1000);

    // A new object near the second takes over its 7 s and alarms 3 s later.
    const int64_t appear = 12 * kSecond;
    playFrom(appear, appear + 3 * kSecond - kFrameInterval, {square(3, 1500, 0)});
    EXPECT_EQ(sent(), Lines{});
    const auto data = play(appear + 3 * kSecond, {square(3, 1500, 0)});
    EXPECT_EQ(statusOf(*data), OBJECT_ALARM);
    EXPECT_EQ(sent(), kStartLines);
}

class DwellwatchGroupTest : public DwellwatchGuardTest {
  protected:
    // Person 1 stays from 1 s to 11 s; person 2 enters after the gap and stays.
    // The result of the frame at 25.9 s, when 20 s are reached after a short gap.
    std::unique_ptr<AlarmData> takeTurns(int64_t gap) {
        makeGuard(0, 20 * kSecond);
        playFrom(kSecond, 11 * kSecond, {square(1, 0, 0)});
        playFrom(11 * kSecond + kFrameInterval, 11 * kSecond + gap - kFrameInterval, {});
        return playFrom(11 * kSecond + gap, 25 * kSecond + 9 * kFrameInterval, {square(2, 500, 0)});
    }
};

TEST_F(DwellwatchGroupTest, TurnsWithAFiveSecondGapReachTheThresholdAndShowTheArea) {
    const auto data = takeTurns(5 * kSecond);
    EXPECT_EQ(guard->getArea().getGroupLoiteringTime(), 20 * kSecond);
    EXPECT_TRUE(data->isAlarm());
    EXPECT_EQ(statusOf(*data), OBJECT_NO_ALARM);
    ASSERT_EQ(data->getPolygonsToDisplay().size(), 1u);
    EXPECT_EQ(data->getPolygonsToDisplay().front(), &guard->getArea().getPolygon());
    EXPECT_EQ(sent(), kStartLines);
}

TEST_F(DwellwatchGroupTest, TurnsWithASevenSecondGapStartOver) {
    const auto data = takeTurns(7 * kSecond);
    EXPECT_EQ(guard->getArea().getGroupLoiteringTime(), 8 * kSecond);
    EXPECT_FALSE(data->isAlarm());
    EXPECT_TRUE(data->getPolygonsToDisplay().empty());
    EXPECT_EQ(sent(), Lines{});
}

TEST_F(DwellwatchGuardTest, ASwayingObjectIsFrozenShownOutsideAndKeptOutOfMerges) {
    makeGuard(10 * kSecond, 0, std::make_unique<SwayingFilter>(10, kId, true));  // 819 units
    play(0, {square(1, 0, 0), square(2, -1500, 0)});
    auto record = std::make_unique<LoiteringAreaExternalData>(0);
    record->setLoiteringTime(5 * kSecond);
    script.find(1)->insertData("loiteringArea_1", std::move(record));

    std::unique_ptr<AlarmData> data;
    for (int64_t time = kFrameInterval; time <= 5 * kSecond; time += kFrameInterval) {
        const int sway = (time / kFrameInterval) % 2 == 0 ? 100 : -100;
        data = play(time, {square(1, sway, 0), square(2, 0, 0)});  // 2 has moved 1500 units
    }
    EXPECT_EQ(statusOf(*data, 0), OBJECT_OUTSIDE);
    EXPECT_EQ(loiteringTimeOf(1), 5 * kSecond);
    EXPECT_FALSE(script.find(1)->isMergeable());
    EXPECT_EQ(statusOf(*data, 1), OBJECT_NO_ALARM);
    EXPECT_TRUE(script.find(2)->isMergeable());
}

TEST_F(DwellwatchGuardTest, PicturesShowEachObjectsProgressTowardsItsTime) {
    makeGuard(10 * kSecond, 0);
    ASSERT_TRUE(guard->enableVisualConfirmation("<g>"));
    Box unsure = square(2, 1000, 1000);
    unsure.confident = false;
    playFrom(0, 5 * kSecond, {square(1, 0, 0), unsure, square(3, 3000, 0)});
    // The box of the object inside with its bar half full under it; the
    // object outside is boxed without a bar, the unconfident one not at all.
    EXPECT_EQ(
        pictures().back(),
        picture(
            "<polygon class=\"\" points=\" -0.024,-0.024 0.024,-0.024 0.024,0.024 -0.024,0.024\" "
            "style=\"fill:#00FF00;fill-opacity:0.200000;stroke:#00FF00;stroke-width:0.005000;\"  "
            "/>\n"
            "<polygon class=\"\" points=\" 0.708,-0.024 0.757,-0.024 0.757,0.024 0.708,0.024\" "
            "style=\"fill:#00FF00;fill-opacity:0.200000;stroke:#00FF00;stroke-width:0.005000;\"  "
            "/>\n"
            "<rect width=\"0.122\" height=\"0.007\" x=\"-0.024\" y=\"-0.049\" fill=\"darkblue\"/>"
            "<rect width=\"0.061\" height=\"0.007\" x=\"-0.024\" y=\"-0.049\"  fill=\"red\"/>"));

    // In alarm: red, the bar full, and the area drawn while the event is on.
    playFrom(5 * kSecond + kFrameInterval, 12 * kSecond, {square(1, 0, 0)});
    const std::string inAlarm = pictures().back();
    EXPECT_NE(inAlarm.find("<polygon class=\"\" points=\" -0.024,-0.024 0.024,-0.024 0.024,0.024 "
                           "-0.024,0.024\" style=\"fill:#FF0000;"),
              std::string::npos);
    EXPECT_NE(inAlarm.find("<rect width=\"0.122\" height=\"0.007\" x=\"-0.024\" y=\"-0.049\"  "
                           "fill=\"red\"/>"),
              std::string::npos);
    EXPECT_NE(inAlarm.find("<polygon class=\"loiteringArea\""), std::string::npos);
}

TEST_F(DwellwatchGuardTest, EmptyFramesOfTheIndividualConditionAreSentOnce) {
    makeGuard(10 * kSecond, 0);
    ASSERT_TRUE(guard->enableVisualConfirmation("<g>"));
    playFrom(0, kSecond, {});
    EXPECT_EQ(pictures(), Lines{"<svg><desc></desc></svg>"});
    playFrom(kSecond + kFrameInterval, 2 * kSecond, {square(1, 0, 0)});
    playFrom(2 * kSecond + kFrameInterval, 3 * kSecond, {});
    const Lines sentPictures = pictures();
    ASSERT_EQ(sentPictures.size(), 12u);
    EXPECT_EQ(sentPictures.back(), "<svg><desc></desc></svg>");
}

TEST_F(DwellwatchGuardTest, TheGroupBarSitsInTheViewedLowerLeftCornerOfEveryPicture) {
    makeGuard(0, 10 * kSecond, nullptr, 90);
    ASSERT_TRUE(guard->enableVisualConfirmation("<g>"));
    play(0, {});
    playFrom(kFrameInterval, 5 * kSecond, {square(1, 0, 0)});
    const Lines sentPictures = pictures();
    ASSERT_EQ(sentPictures.size(), 51u);
    EXPECT_EQ(
        sentPictures.front(),
        picture(
            "<rect width=\"0.073\" height=\"0.366\" x=\"0.854\" y=\"-0.854\" fill=\"darkblue\"/>"
            "<rect width=\"0.073\" height=\"0.000\" x=\"0.854\" y=\"-0.854\" fill=\"red\"/>"));
    // 4.9 s of 10 filled; objects of the group condition get no bars of their own.
    EXPECT_NE(sentPictures.back().find("<rect width=\"0.073\" height=\"0.179\" x=\"0.854\" "
                                       "y=\"-0.854\" fill=\"red\"/>"),
              std::string::npos);
    EXPECT_EQ(sentPictures.back().find("height=\"0.007\""), std::string::npos);
}

}  // namespace
