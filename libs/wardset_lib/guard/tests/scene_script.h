#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

// Tests play frames of rectangular objects to guards, the way the scene
// parser hands them over: objects are created on their first frame and
// updated on later ones, and vanished objects go to the frame's deleted list.
namespace guardtest {

constexpr int64_t kSecond = 1000000;
constexpr int64_t kFrameInterval = 100000;  // 100 ms

struct Box {
    int id;
    int minX;
    int maxX;
    int minY;
    int maxY;
    bool confident = true;
};

// A square of side 2 × half centred at (x, y).
Box square(int id, int x, int y, int half = 100);

class SceneScript {
  public:
    // The frame at time with the boxes as active objects (in the given order)
    // and the objects of the vanished ids as deleted objects, which the frame
    // then owns.
    ParsedScene frame(int64_t time, const std::vector<Box>& boxes,
                      const std::vector<int>& vanished = {});

    // The stored object, or null.
    TrackingObject* find(int id);

  private:
    std::map<int, std::unique_ptr<TrackingObject>> m_objects;
};

}  // namespace guardtest
