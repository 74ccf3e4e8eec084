#include "frame_builder.h"

#include <algorithm>

namespace scenesim {

namespace {

constexpr unsigned kBoundingBox = 1;
constexpr unsigned kOutline = 2;
constexpr unsigned kVelocity = 4;
constexpr unsigned kLowConfident = 8;
constexpr int16_t kConfident = 4096;

std::vector<scene::Point16> boundingBox(const std::vector<scene::Point16>& outline) {
    if (outline.empty()) {
        return {};
    }
    auto [minX, maxX] = std::minmax_element(outline.begin(), outline.end(),
                                            [](auto a, auto b) { return a.x < b.x; });
    auto [minY, maxY] = std::minmax_element(outline.begin(), outline.end(),
                                            [](auto a, auto b) { return a.y < b.y; });
    return {{minX->x, minY->y}, {maxX->x, minY->y}, {maxX->x, maxY->y}, {minX->x, maxY->y}};
}

}  // namespace

std::string buildFrame(const ScenarioFrame& frame, unsigned mask, int64_t timeOffsetUs) {
    scene::FrameRecord record;
    record.timestampNs = static_cast<uint64_t>(frame.timeUs + timeOffsetUs) * 1000u;
    for (const ScenarioObject& object : frame.objects) {
        const bool lowConfidence = object.confidence && *object.confidence < kConfident;
        if (lowConfidence && !(mask & kLowConfident)) {
            continue;
        }
        scene::ObjectRecord encoded;
        encoded.id = object.id;
        if (mask & kBoundingBox) {
            encoded.boundingBox = boundingBox(object.outline);
        }
        if (mask & kOutline) {
            encoded.outline = object.outline;
        }
        if (mask & kVelocity) {
            encoded.velocity = object.velocity.value_or(std::array<int32_t, 2>{0, 0});
        }
        if (mask & kLowConfident) {
            encoded.confidence = object.confidence.value_or(kConfident);
        }
        record.objects.push_back(std::move(encoded));
    }
    record.events = frame.events;
    return scene::encodeFrame(record);
}

}  // namespace scenesim
