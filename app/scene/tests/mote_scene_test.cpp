#include "scene/mote_scene.h"

#include <gtest/gtest.h>

#include <string>

#include "scene_encoder.h"

namespace {

scene::ObjectRecord fullObject(int32_t id, int16_t confidence) {
    scene::ObjectRecord object;
    object.id = id;
    object.boundingBox =
        std::vector<scene::Point16>{{-100, -50}, {100, -50}, {100, 50}, {-100, 50}};
    object.outline = std::vector<scene::Point16>{{0, 0}, {40, 0}, {40, 30}, {0, 30}};
    object.velocity = std::array<int32_t, 2>{12, -7};
    object.confidence = confidence;
    return object;
}

std::string frameText(const scene::FrameRecord& frame) {
    return scene::encodeFrame(frame);
}

}  // namespace

TEST(MoteScene, DecodesTimeObjectsByMaskAndEvents) {
    scene::FrameRecord frame;
    frame.timestampNs = 1234567999;
    frame.objects = {fullObject(4, 4096), fullObject(5, 4095)};
    frame.events = {{0, {3, 4}, {}}, {2, {5, 99}, {5, 6}}, {1, {7}, {8, 9}}, {1, {7}, {}},
                    {2, {}, {1}},    {9, {1}, {2}},        {0, {11}, {12}}};
    const std::string text = frameText(frame);

    const MoteScene all(text.c_str(), 15);
    EXPECT_EQ(all.getTimestamp(), 1234567);
    ASSERT_EQ(all.getObjects().size(), 2u);
    const MoteObject& first = *all.getObjects()[0];
    EXPECT_EQ(first.getId(), 4);
    EXPECT_EQ(first.getTimestamp(), 1234567);
    EXPECT_EQ(first.getVelocity().x, 12);
    EXPECT_EQ(first.getVelocity().y, -7);
    ASSERT_NE(first.getPolygon(), nullptr);
    ASSERT_NE(first.getBoundingBox(), nullptr);
    EXPECT_EQ(first.getWidth(), 40);  // the outline wins over the box
    EXPECT_EQ(first.getHeight(), 30);
    EXPECT_TRUE(first.isConfident());
    EXPECT_FALSE(all.getObjects()[1]->isConfident());

    EXPECT_EQ(all.getDeletedIds(), (std::vector<int>{3, 4, 11}));
    ASSERT_EQ(all.getMerges().size(), 1u);
    EXPECT_EQ(all.getMerges()[0]->id, 5);
    EXPECT_EQ(all.getMerges()[0]->ids, (std::vector<int>{5, 6}));
    ASSERT_EQ(all.getSplits().size(), 1u);  // the one with an empty second list is ignored
    EXPECT_EQ(all.getSplits()[0]->id, 7);
    EXPECT_EQ(all.getSplits()[0]->ids, (std::vector<int>{8, 9}));

    // The program's mask 14: no box; sizes come from the outline.
    const MoteScene program(text.c_str(), 14);
    const MoteObject& outlined = *program.getObjects()[0];
    EXPECT_EQ(outlined.getBoundingBox(), nullptr);
    EXPECT_EQ(outlined.getWidth(), 40);

    // Without bit 8 every object is confident; without bit 4 there is no velocity.
    const MoteScene boxes(text.c_str(), 1);
    const MoteObject& boxed = *boxes.getObjects()[1];
    EXPECT_TRUE(boxed.isConfident());
    EXPECT_EQ(boxed.getVelocity().x, 0);
    EXPECT_EQ(boxed.getPolygon(), nullptr);
    EXPECT_EQ(boxed.getWidth(), 200);
    EXPECT_EQ(boxed.getHeight(), 100);
}

TEST(MoteScene, MissingPropertiesKeepTheirDefaults) {
    scene::FrameRecord frame;  // no time
    scene::ObjectRecord bare;
    bare.id = 8;
    frame.objects = {bare};
    const std::string text = frameText(frame);
    const MoteScene scene(text.c_str(), 15);
    EXPECT_EQ(scene.getTimestamp(), 0);
    const MoteObject& object = *scene.getObjects().at(0);
    EXPECT_TRUE(object.isConfident());  // confidence missing: warned, stays confident
    EXPECT_EQ(object.getVelocity().x, 0);
    // Asked-for outlines are always built, as a small valid polygon.
    ASSERT_NE(object.getPolygon(), nullptr);
    EXPECT_EQ(object.getPolygon()->getPoints().size(), 3u);
}

TEST(MoteScene, UndecodableFrameIsEmpty) {
    for (const char* frame : {"", "garbage", static_cast<const char*>(nullptr)}) {
        const MoteScene scene(frame, 15);
        EXPECT_EQ(scene.getTimestamp(), 0);
        EXPECT_TRUE(scene.getObjects().empty());
        EXPECT_TRUE(scene.getDeletedIds().empty());
        EXPECT_TRUE(scene.getMerges().empty());
    }
}
