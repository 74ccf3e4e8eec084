#include "scene/mote_scene_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene_encoder.h"

namespace {

constexpr int kProgramMask = 14;

scene::ObjectRecord box(int32_t id, int16_t x) {
    scene::ObjectRecord object;
    object.id = id;
    object.outline = std::vector<scene::Point16>{
        {x, 0}, {static_cast<int16_t>(x + 100), 0}, {static_cast<int16_t>(x + 100), 200}, {x, 200}};
    return object;
}

// Parses a frame at timeUs with the objects and events.
ParsedScene parse(MoteSceneParser& parser, int64_t timeUs, std::vector<scene::ObjectRecord> objects,
                  std::vector<scene::EventRecord> events = {}) {
    scene::FrameRecord frame;
    frame.timestampNs = static_cast<uint64_t>(timeUs) * 1000;
    frame.objects = std::move(objects);
    frame.events = std::move(events);
    const std::string text = scene::encodeFrame(frame);
    return parser.parse(MoteScene(text.c_str(), kProgramMask));
}

std::vector<int32_t> idsOf(const std::vector<TrackingObject*>& objects) {
    std::vector<int32_t> ids;
    for (const TrackingObject* object : objects) {
        ids.push_back(object->getId());
    }
    return ids;
}

// Records the merges the parser hands on, and performs them.
class RecordingParser : public MoteSceneParser {
  public:
    using MoteSceneParser::MoteSceneParser;
    void mergeTrackingObject(TrackingObject& target,
                             const std::vector<const TrackingObject*>& sources,
                             bool targetIsSource) override {
        std::vector<int32_t> ids;
        for (const TrackingObject* source : sources) {
            ids.push_back(source->getId());
        }
        merges.push_back({target.getId(), ids, targetIsSource});
        MoteSceneParser::mergeTrackingObject(target, sources, targetIsSource);
    }
    struct Merge {
        int32_t target;
        std::vector<int32_t> sources;
        bool targetIsSource;
    };
    std::vector<Merge> merges;
};

}  // namespace

TEST(MoteSceneParser, NewObjectsAreStoredAndKnownOnesUpdated) {
    MoteSceneParser parser(0, 1.0f);
    {
        const ParsedScene first = parse(parser, 1000000, {box(1, 0), box(2, 500)});
        EXPECT_EQ(first.getTimestamp(), 1000000);
        EXPECT_EQ(idsOf(first.getActiveObjects()), (std::vector<int32_t>{1, 2}));
        const TrackingObject* one = first.getActiveObjects()[0];
        EXPECT_EQ(one->getFirstSeen(), 1000000);
        EXPECT_EQ(one->getLastSeen(), 1000000);
    }
    const ParsedScene second = parse(parser, 1500000, {box(2, 510), box(1, 10)});
    EXPECT_EQ(idsOf(second.getActiveObjects()), (std::vector<int32_t>{2, 1}));
    const TrackingObject* one = second.getActiveObjects()[1];
    EXPECT_EQ(one->getFirstSeen(), 1000000);
    EXPECT_EQ(one->getLastSeen(), 1500000);
    EXPECT_EQ(parser.getStorage().getSize(), 2u);
    EXPECT_TRUE(second.getDeletedObjects().empty());
}

TEST(MoteSceneParser, DeletedObjectsMoveToTheParsedScene) {
    MoteSceneParser parser(0, 1.0f);
    parse(parser, 1000, {box(1, 0), box(2, 500)});
    // Object 2 is listed and deleted in the same frame: deleted, and not active.
    const ParsedScene scene = parse(parser, 2000, {box(1, 0), box(2, 500)}, {{0, {2, 77}, {}}});
    EXPECT_EQ(idsOf(scene.getActiveObjects()), (std::vector<int32_t>{1}));
    ASSERT_EQ(scene.getDeletedObjects().size(), 1u);
    EXPECT_EQ(scene.getDeletedObjects()[0]->getId(), 2);
    EXPECT_FALSE(parser.getStorage().contains(2));
}

TEST(MoteSceneParser, MergesAndSplitsReachTheStoredObjects) {
    RecordingParser parser(0, 1.0f);
    parse(parser, 1000, {box(5, 0), box(6, 300), box(7, 600)});
    // Merge 6 (and an unknown 99) into 5; a merge led by an unknown id is skipped.
    parse(parser, 2000, {box(5, 0), box(7, 600)},
          {{2, {5}, {5, 6, 99}}, {2, {42}, {5}}, {0, {6}, {}}});
    ASSERT_EQ(parser.merges.size(), 1u);
    EXPECT_EQ(parser.merges[0].target, 5);
    EXPECT_EQ(parser.merges[0].sources, (std::vector<int32_t>{5, 6}));
    EXPECT_TRUE(parser.merges[0].targetIsSource);

    // 7 splits into 8 and 9, which are new in this frame and take over its history.
    const ParsedScene split = parse(parser, 3000, {box(8, 600), box(9, 700)}, {{1, {7}, {8, 9}}});
    EXPECT_EQ(idsOf(split.getActiveObjects()), (std::vector<int32_t>{8, 9}));
    EXPECT_EQ(split.getActiveObjects()[0]->getFirstSeen(), 1000);
}

TEST(MoteSceneParser, NewRotationStartsTrackingAfresh) {
    MoteSceneParser parser(0, 1.0f);
    parse(parser, 1000, {box(1, 0)});
    parser.updateCameraRotation(0);
    EXPECT_EQ(parser.getStorage().getSize(), 1u);
    parser.updateCameraRotation(90);
    EXPECT_EQ(parser.getStorage().getSize(), 0u);
    const ParsedScene scene = parse(parser, 2000, {box(1, 0)});
    EXPECT_EQ(scene.getActiveObjects()[0]->getFirstSeen(), 2000);
}

TEST(ParsedScene, IgnoresNullsAndOwnsWhatItShould) {
    ParsedScene owning(5, true);
    owning.insertActiveObject(nullptr);
    owning.insertDeletedObject(nullptr);
    EXPECT_TRUE(owning.getActiveObjects().empty());
    EXPECT_TRUE(owning.getDeletedObjects().empty());

    // Owned active objects are released with the scene (the sanitizer build
    // reports a leak otherwise), also after a move.
    scene::FrameRecord frame;
    frame.objects = {box(3, 0)};
    const std::string text = scene::encodeFrame(frame);
    const MoteScene mote(text.c_str(), kProgramMask);
    owning.insertActiveObject(new TrackingObject(*mote.getObjects()[0], 0, 1.0f));
    const ParsedScene moved(std::move(owning));
    EXPECT_EQ(moved.getActiveObjects().size(), 1u);
}
