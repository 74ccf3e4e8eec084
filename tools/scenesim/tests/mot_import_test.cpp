#include "mot_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "scene.h"

using namespace scenesim;

namespace {
const char* const kMotDirectory = DW_SHARED_DATA_DIR "/mot17";
}

TEST(MotImport, BoxesBecomeSceneOutlinesAndTrackEndsBecomeDeletes) {
    std::istringstream in(
        "1,7,0,0,960,540,1,-1,-1,-1\n"
        "2,7,960,540,960,540,1,-1,-1,-1\n"
        "2,8,480,270,0,0,0.5,-1,-1,-1\n"
        "4,8,480,270,96,54,0.5,-1,-1,-1\n");
    const Scenario scenario = importMot(in, {1920, 1080, 25.0, 3});
    ASSERT_EQ(scenario.size(), 5u);  // frames 1 to 5, one after the last box
    EXPECT_EQ(scenario[0].timeUs, 0);
    EXPECT_EQ(scenario[1].timeUs, 40000);
    EXPECT_EQ(scenario[4].timeUs, 160000);
    EXPECT_EQ(scenario[0].channel, 3);

    // The top left quarter of the image: x from -4096 to 0, y from 0 to 4096.
    const auto& first = scenario[0].objects.at(0).outline;
    EXPECT_EQ(first[0].x, -4096);
    EXPECT_EQ(first[0].y, 0);
    EXPECT_EQ(first[2].x, 0);
    EXPECT_EQ(first[2].y, 4096);

    EXPECT_TRUE(scenario[2].objects.empty());  // frame 3 has no boxes
    ASSERT_EQ(scenario[2].events.size(), 1u);  // track 7 ended at frame 2
    EXPECT_EQ(scenario[2].events[0].action, SCENE_ACTION_DELETE);
    EXPECT_EQ(scenario[2].events[0].ids, std::vector<int32_t>{7});
    EXPECT_EQ(scenario[4].events.at(0).ids, std::vector<int32_t>{8});
}

TEST(MotImport, RejectsBadLinesAndImages) {
    std::istringstream bad("1,2,3\n");
    EXPECT_THROW(importMot(bad, {100, 100, 10.0, 1}), std::runtime_error);
    std::istringstream good("1,1,0,0,1,1\n");
    EXPECT_THROW(importMot(good, {0, 100, 10.0, 1}), std::runtime_error);
}

TEST(MotImport, RealTrackerOutputKeepsEveryTrack) {
    const std::string path = std::string(kMotDirectory) + "/Lif_T/MOT17-09-DPM.txt";
    if (!std::ifstream(path)) {
        GTEST_SKIP() << "MOT17 data not present at " << kMotDirectory;
    }
    const Scenario scenario = importMotFile(path, {1920, 1080, 30.0, 1});
    std::set<int32_t> seen, deleted;
    size_t boxes = 0;
    for (const ScenarioFrame& frame : scenario) {
        for (const ScenarioObject& object : frame.objects) {
            seen.insert(object.id);
            EXPECT_EQ(deleted.count(object.id), 0u) << "object after its delete";
            for (const scene::Point16& p : object.outline) {
                ASSERT_TRUE(p.x >= -4096 && p.x <= 4096 && p.y >= -4096 && p.y <= 4096);
            }
            ++boxes;
        }
        for (const scene::EventRecord& event : frame.events) {
            deleted.insert(event.ids.begin(), event.ids.end());
        }
    }
    EXPECT_GE(scenario.size(), 525u);
    EXPECT_GT(boxes, 1000u);
    EXPECT_EQ(seen, deleted);
}
