#pragma once

#include <memory>

#include "guard/area_guard.h"
#include "recording_producer.h"
#include "scene_script.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

namespace guardtest {

constexpr int64_t kEventDuration = 3 * kSecond;

// The simplest concrete guard: in alarm while any object passes its filters.
class OccupancyGuard : public Guard {
  public:
    static constexpr int kId = 7;

    OccupancyGuard(StateEventProducerI& producer, int preset)
        : Guard("Entrance", kId, 1, kEventDuration, "Dwellwatch", producer, preset) {}

    // What the guard's pictures show of its area.
    static constexpr const char* kAreaSvg = "<polygon class=\"area\" />";

    std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene) override {
        return Guard::checkObjects(scene, kAreaSvg);
    }

    int evaluatedFrames = 0;

  protected:
    std::unique_ptr<AlarmData> updateObjectsAndGetAlarms(const ParsedScene& scene) override {
        auto data = std::make_unique<AlarmData>(getId());
        for (TrackingObject* object : scene.getActiveObjects()) {
            updateFilterData(*object);
            const bool canTrigger = canObjectTriggerAlarm(*object);
            data->addObjectStatus(object, createAlarmStatus(canTrigger, canTrigger));
            data->setAlarm(data->isAlarm() || canTrigger);
        }
        ++evaluatedFrames;
        return data;
    }
};

}  // namespace guardtest
