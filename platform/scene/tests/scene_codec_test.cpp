#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cobs.h"
#include "scene.h"
#include "scene_encoder.h"

using namespace scene;

namespace {

using SceneHandle = std::unique_ptr<scene_st, decltype(&scene_delete)>;

SceneHandle decode(const std::string& text) {
    return SceneHandle(scene_copy_from_area(text.c_str()), &scene_delete);
}

FrameRecord fullFrame() {
    FrameRecord frame;
    frame.timestampNs = 0x0123456789ABCDEFull;
    ObjectRecord a;
    a.id = 17;
    a.boundingBox =
        std::vector<Point16>{{-4096, -4096}, {4096, -4096}, {4096, 4096}, {-4096, 4096}};
    a.outline = std::vector<Point16>{{0, 0}, {100, -5}, {-256, 256}};
    a.velocity = std::array<int32_t, 2>{-70000, 3};
    a.confidence = int16_t{4095};
    ObjectRecord b;  // no optional fields at all
    b.id = -2147483647 - 1;
    frame.objects = {a, b};
    frame.events = {{0, {3, 4}, {}}, {2, {5}, {5, 6}}, {1, {7}, {8, 9}}, {200, {}, {}}};
    return frame;
}

std::vector<int> idsOf(const scene_event_st* event, scene_prop_e prop) {
    const void* values = nullptr;
    const int count = scene_get_evt_prop(event, prop, &values);
    const int* ids = static_cast<const int*>(values);
    return count > 0 ? std::vector<int>(ids, ids + count) : std::vector<int>();
}

// The binary layout before stuffing, so that malformed frames can be built.
std::string bytesOf(const FrameRecord& frame) {
    return *cobs::decode(encodeFrame(frame).c_str());
}

}  // namespace

TEST(SceneCodec, FullFrameRoundTrips) {
    const SceneHandle scene = decode(encodeFrame(fullFrame()));
    ASSERT_TRUE(scene);

    const void* value = nullptr;
    ASSERT_EQ(scene_get_prop(scene.get(), SCENE_PROP_TIMESTAMP, &value), 1);
    EXPECT_EQ(*static_cast<const uint64_t*>(value), 0x0123456789ABCDEFull);

    const scene_object_st* a = scene_next_object(scene.get(), nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(scene_get_object_id(a), 17);
    ASSERT_EQ(scene_get_obj_prop(a, SCENE_PROP_BOUNDING_BOX, &value), 4);
    EXPECT_EQ(static_cast<const int16_t*>(value)[0], -4096);
    EXPECT_EQ(static_cast<const int16_t*>(value)[5], 4096);
    ASSERT_EQ(scene_get_obj_prop(a, SCENE_PROP_OUTLINE, &value), 3);
    const auto* outline = static_cast<const int16_t*>(value);
    EXPECT_EQ(std::vector<int16_t>(outline, outline + 6),
              (std::vector<int16_t>{0, 0, 100, -5, -256, 256}));
    ASSERT_EQ(scene_get_obj_prop(a, SCENE_PROP_VELOCITY, &value), 2);
    EXPECT_EQ(static_cast<const int32_t*>(value)[0], -70000);
    EXPECT_EQ(static_cast<const int32_t*>(value)[1], 3);
    ASSERT_EQ(scene_get_obj_prop(a, SCENE_PROP_CONFIDENCE, &value), 1);
    EXPECT_EQ(*static_cast<const int16_t*>(value), 4095);

    const scene_object_st* b = scene_next_object(scene.get(), a);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(scene_get_object_id(b), -2147483647 - 1);
    for (scene_prop_e prop : {SCENE_PROP_BOUNDING_BOX, SCENE_PROP_OUTLINE, SCENE_PROP_VELOCITY,
                              SCENE_PROP_CONFIDENCE, SCENE_PROP_TIMESTAMP}) {
        value = &value;
        EXPECT_EQ(scene_get_obj_prop(b, prop, &value), -1);
        EXPECT_EQ(value, nullptr);
    }
    EXPECT_EQ(scene_next_object(scene.get(), b), nullptr);

    const scene_event_st* e = scene_next_event(scene.get(), nullptr);
    std::vector<int> actions;
    std::vector<std::vector<int>> lists;
    for (; e != nullptr; e = scene_next_event(scene.get(), e)) {
        actions.push_back(scene_get_event_action(e));
        lists.push_back(idsOf(e, SCENE_PROP_IDS));
        lists.push_back(idsOf(e, SCENE_PROP_SECOND_IDS));
    }
    EXPECT_EQ(actions, (std::vector<int>{0, 2, 1, 200}));
    EXPECT_EQ(lists, (std::vector<std::vector<int>>{{3, 4}, {}, {5}, {5, 6}, {7}, {8, 9}, {}, {}}));
}

TEST(SceneCodec, EmptyFrameHasNoTimeObjectsOrEvents) {
    const SceneHandle scene = decode(encodeFrame(FrameRecord{}));
    ASSERT_TRUE(scene);
    const void* value = nullptr;
    EXPECT_EQ(scene_get_prop(scene.get(), SCENE_PROP_TIMESTAMP, &value), -1);
    EXPECT_EQ(scene_next_object(scene.get(), nullptr), nullptr);
    EXPECT_EQ(scene_next_event(scene.get(), nullptr), nullptr);
}

TEST(SceneCodec, NullArgumentsAndForeignIteratorsAreRefused) {
    const void* value = nullptr;
    EXPECT_EQ(scene_copy_from_area(nullptr), nullptr);
    EXPECT_EQ(scene_get_prop(nullptr, SCENE_PROP_TIMESTAMP, &value), -1);
    EXPECT_EQ(scene_next_object(nullptr, nullptr), nullptr);
    EXPECT_EQ(scene_get_object_id(nullptr), -1);
    EXPECT_EQ(scene_get_obj_prop(nullptr, SCENE_PROP_OUTLINE, &value), -1);
    EXPECT_EQ(scene_get_event_action(nullptr), -1);
    EXPECT_EQ(scene_get_evt_prop(nullptr, SCENE_PROP_IDS, &value), -1);
    scene_delete(nullptr);

    const SceneHandle first = decode(encodeFrame(fullFrame()));
    const SceneHandle second = decode(encodeFrame(fullFrame()));
    const scene_object_st* foreign = scene_next_object(second.get(), nullptr);
    EXPECT_EQ(scene_next_object(first.get(), foreign), nullptr);
    const scene_object_st* own = scene_next_object(first.get(), nullptr);
    EXPECT_EQ(scene_get_obj_prop(own, SCENE_PROP_OUTLINE, nullptr), -1);
}

TEST(SceneCodec, EveryTruncationAndTrailingByteIsRejected) {
    const std::string bytes = bytesOf(fullFrame());
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(decode(cobs::encode(bytes.substr(0, size)))) << size;
    }
    EXPECT_FALSE(decode(cobs::encode(bytes + '\x00')));
    EXPECT_TRUE(decode(cobs::encode(bytes)));
}

TEST(SceneCodec, WrongMagicVersionOrUnknownFlagsAreRejected) {
    const std::string bytes = bytesOf(fullFrame());
    for (size_t offset : {0u, 1u, 2u}) {
        std::string bad = bytes;
        bad[offset] = static_cast<char>(bad[offset] + 1);
        EXPECT_FALSE(decode(cobs::encode(bad))) << offset;
    }
    std::string flags = bytes;
    flags[3] = '\x03';
    EXPECT_FALSE(decode(cobs::encode(flags)));
    // Object fields byte of the first object: header 4 + time 8 + count 2 + id 4.
    std::string fields = bytes;
    fields[18] = static_cast<char>(0x1F);
    EXPECT_FALSE(decode(cobs::encode(fields)));
}

TEST(SceneCodec, ForgedCountsDoNotAllocateBeyondTheFrame) {
    // Header without time, then 65535 objects announced and none present.
    const std::string forged("SF\x01\x00\xff\xff", 6);
    EXPECT_FALSE(decode(cobs::encode(forged)));
    // One object announcing 65535 outline points.
    const std::string points(
        "SF\x01\x00\x01\x00"
        "\x01\x00\x00\x00"
        "\x02"
        "\xff\xff",
        13);
    EXPECT_FALSE(decode(cobs::encode(points)));
}

TEST(SceneCodec, RandomBytesNeverCrash) {
    std::mt19937 rng(11);
    const std::string valid = bytesOf(fullFrame());
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            text.resize(rng() % 64);
            for (char& c : text) {
                c = static_cast<char>(1 + rng() % 255);
            }
        } else {
            std::string bytes = valid;
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
            text = cobs::encode(bytes);
        }
        const SceneHandle scene = decode(text);
        for (auto* o = scene_next_object(scene.get(), nullptr); o != nullptr;
             o = scene_next_object(scene.get(), o)) {
            const void* value = nullptr;
            const int count = scene_get_obj_prop(o, SCENE_PROP_OUTLINE, &value);
            ASSERT_TRUE(count == -1 || (count >= 0 && (count == 0 || value != nullptr)));
        }
    }
}
