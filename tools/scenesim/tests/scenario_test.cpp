#include <gtest/gtest.h>

#include <sstream>

#include <glib.h>

#include <atomic>
#include <vector>

#include "frame_builder.h"
#include "playback.h"
#include "scenario_reader.h"
#include "scene.h"
#include "scene_request.h"

using namespace scenesim;

TEST(ScenarioReader, ReadsFramesObjectsAndEvents) {
    std::istringstream in(
        R"({"t_us":1000000,"objects":[{"id":1,"box":[-10,-20,30,40]}]})"
        "\n\n"
        R"({"t_us":1040000,"channel":2,"objects":[{"id":2,"polygon":[[0,0],[5,0],[0,5]],)"
        R"("velocity":[-3,4],"confidence":4095}],"events":[{"action":"delete","ids":[3]},)"
        R"({"action":"merge","ids":[5],"ids2":[5,6]},{"action":"split","ids":[7],"ids2":[8,9]}]})"
        "\n");
    const Scenario scenario = readScenario(in);
    ASSERT_EQ(scenario.size(), 2u);
    EXPECT_EQ(scenario[0].timeUs, 1000000);
    EXPECT_EQ(scenario[0].channel, 1);
    ASSERT_EQ(scenario[0].objects.size(), 1u);
    const auto& box = scenario[0].objects[0].outline;
    ASSERT_EQ(box.size(), 4u);
    EXPECT_EQ(box[0].x, -10);
    EXPECT_EQ(box[0].y, -20);
    EXPECT_EQ(box[2].x, 30);
    EXPECT_EQ(box[2].y, 40);

    const ScenarioFrame& second = scenario[1];
    EXPECT_EQ(second.channel, 2);
    EXPECT_EQ(second.objects[0].outline.size(), 3u);
    EXPECT_EQ(*second.objects[0].velocity, (std::array<int32_t, 2>{-3, 4}));
    EXPECT_EQ(*second.objects[0].confidence, 4095);
    ASSERT_EQ(second.events.size(), 3u);
    EXPECT_EQ(second.events[0].action, SCENE_ACTION_DELETE);
    EXPECT_EQ(second.events[1].action, SCENE_ACTION_MERGE);
    EXPECT_EQ(second.events[1].secondIds, (std::vector<int32_t>{5, 6}));
    EXPECT_EQ(second.events[2].action, SCENE_ACTION_SPLIT);
    EXPECT_EQ(second.events[2].ids, (std::vector<int32_t>{7}));
}

TEST(ScenarioReader, ErrorsNameTheirLine) {
    const char* bad[] = {
        R"({"objects":[]})",                                        // no time
        R"({"t_us":1,"objects":[{"id":1}]})",                       // no outline
        R"({"t_us":1,"objects":[{"id":1,"box":[0,0,5000,1]}]})",    // outside the scene
        R"({"t_us":1,"events":[{"action":"explode","ids":[1]}]})",  // unknown action
        R"(not json)",
    };
    for (const char* line : bad) {
        std::istringstream in(std::string(R"({"t_us":0})") + "\n" + line + "\n");
        try {
            readScenario(in);
            ADD_FAILURE() << line;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("line 2: ", 0), 0u) << e.what();
        }
    }
}

TEST(FrameBuilder, SendsWhatTheMaskAsksFor) {
    ScenarioFrame frame;
    frame.timeUs = 5;
    frame.objects.push_back({1, {{0, 0}, {10, -4}, {3, 8}}, std::array<int32_t, 2>{1, 2}, {}});
    frame.objects.push_back({2, {{0, 0}, {1, 1}, {1, 0}}, {}, int16_t{100}});

    auto decodeObjects = [](const std::string& text, std::vector<int>& ids) {
        scene_st* scene = scene_copy_from_area(text.c_str());
        const void* value = nullptr;
        EXPECT_EQ(scene_get_prop(scene, SCENE_PROP_TIMESTAMP, &value), 1);
        EXPECT_EQ(*static_cast<const uint64_t*>(value), 5000u);
        std::vector<int> counts;
        for (auto* o = scene_next_object(scene, nullptr); o; o = scene_next_object(scene, o)) {
            ids.push_back(scene_get_object_id(o));
            for (scene_prop_e prop : {SCENE_PROP_BOUNDING_BOX, SCENE_PROP_OUTLINE,
                                      SCENE_PROP_VELOCITY, SCENE_PROP_CONFIDENCE}) {
                counts.push_back(scene_get_obj_prop(o, prop, &value));
            }
            if (scene_get_obj_prop(o, SCENE_PROP_BOUNDING_BOX, &value) == 4) {
                const auto* box = static_cast<const int16_t*>(value);
                EXPECT_EQ(std::vector<int16_t>(box, box + 8),
                          (std::vector<int16_t>{0, -4, 10, -4, 10, 8, 0, 8}));
            }
        }
        scene_delete(scene);
        return counts;
    };
    std::vector<int> ids;
    // Mask 14: outline, velocity, low-confidence objects with their confidence.
    EXPECT_EQ(decodeObjects(buildFrame(frame, 14), ids),
              (std::vector<int>{-1, 3, 2, 1, -1, 3, 2, 1}));
    EXPECT_EQ(ids, (std::vector<int>{1, 2}));
    ids.clear();
    // Mask 1: boxes only, and the low-confidence object is left out.
    EXPECT_EQ(decodeObjects(buildFrame(frame, 1), ids), (std::vector<int>{4, -1, -1, -1}));
    EXPECT_EQ(ids, (std::vector<int>{1}));
}

TEST(SceneRequest, ParsesRequestsOfKnownVersions) {
    const auto v11 = parseSceneRequest("1.1 OPEN 0 1 1 1 1");
    ASSERT_TRUE(v11);
    EXPECT_EQ(v11->mask, 14u);
    EXPECT_EQ(v11->cameraId, 1);
    const auto v10 = parseSceneRequest("1.0 OPEN 1 0 1 12");
    ASSERT_TRUE(v10);
    EXPECT_EQ(v10->mask, 5u);
    EXPECT_EQ(v10->cameraId, 12);
    for (const char* bad : {"", "1.1 OPEN 0 1 1 1", "1.0 OPEN 0 1 1 1 1", "1.2 OPEN 0 1 1 1 1",
                            "1.1 CLOSE 0 1 1 1 1", "1.1 OPEN 0 2 1 1 1", "1.1 OPEN 0 1 1 1 x"}) {
        EXPECT_FALSE(parseSceneRequest(bad)) << bad;
    }
    EXPECT_TRUE(servesVersion("1.1", "1.0"));
    EXPECT_FALSE(servesVersion("1.0", "1.1"));
    EXPECT_FALSE(servesVersion("1.1", "0.9"));
}

TEST(Playback, UnpacedPlaybackSendsEveryFrameOfTheChannelInOrderWithoutWaiting) {
    std::istringstream in(R"({"t_us":0,"objects":[]})"
                          "\n"
                          R"({"t_us":60000000,"channel":2,"objects":[]})"
                          "\n"
                          R"({"t_us":120000000,"objects":[]})"
                          "\n");
    const Scenario scenario = readScenario(in);
    PlaybackOptions options;
    options.paced = false;
    const Playback playback(scenario, options);
    std::vector<int64_t> sent;
    const std::atomic<bool> stopping{false};
    const int64_t start = g_get_monotonic_time();
    EXPECT_TRUE(playback.play(
        1,
        [&](const ScenarioFrame& frame, int64_t) {
            sent.push_back(frame.timeUs);
            return true;
        },
        stopping));
    EXPECT_LT(g_get_monotonic_time() - start, 5 * G_USEC_PER_SEC);  // not two minutes
    EXPECT_EQ(sent, (std::vector<int64_t>{0, 120000000}));

    // A receiver that goes away ends the playback.
    EXPECT_FALSE(playback.play(
        1, [](const ScenarioFrame&, int64_t) { return false; }, stopping));
}

TEST(Playback, MonotonicStampsCarryTheTimeOfSending) {
    std::istringstream in(R"({"t_us":0,"objects":[]})"
                          "\n"
                          R"({"t_us":90000000,"objects":[]})"
                          "\n");
    const Scenario scenario = readScenario(in);
    PlaybackOptions options;
    options.paced = false;
    options.monotonicStamp = true;
    const Playback playback(scenario, options);
    std::vector<int64_t> stamps;
    const std::atomic<bool> stopping{false};
    const int64_t start = g_get_monotonic_time();
    EXPECT_TRUE(playback.play(
        1,
        [&](const ScenarioFrame& frame, int64_t offset) {
            stamps.push_back(frame.timeUs + offset);
            return true;
        },
        stopping));
    ASSERT_EQ(stamps.size(), 2u);
    EXPECT_GE(stamps[0], start);
    EXPECT_LE(stamps[1], g_get_monotonic_time());  // not 90 s on
    EXPECT_LE(stamps[0], stamps[1]);
}
