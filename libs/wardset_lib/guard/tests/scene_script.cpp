#include "scene_script.h"

#include <utility>

#include "geometry/polygon.h"
#include "tracking/mote_object.h"

namespace guardtest {

Box square(int id, int x, int y, int half) {
    return Box{id, x - half, x + half, y - half, y + half};
}

ParsedScene SceneScript::frame(int64_t time, const std::vector<Box>& boxes,
                               const std::vector<int>& vanished) {
    ParsedScene scene(time, false);
    for (const Box& box : boxes) {
        const MoteObject mote(box.id, time, MoteVelocity{},
                              std::make_unique<Polygon>(box.minX, box.maxX, box.minY, box.maxY),
                              nullptr, box.confident);
        auto& stored = m_objects[box.id];
        if (stored) {
            stored->update(mote);
        } else {
            stored = std::make_unique<TrackingObject>(mote, 0, 1.0f);
        }
        scene.insertActiveObject(stored.get());
    }
    for (int id : vanished) {
        const auto found = m_objects.find(id);
        if (found != m_objects.end()) {
            scene.insertDeletedObject(found->second.release());
            m_objects.erase(found);
        }
    }
    return scene;
}

TrackingObject* SceneScript::find(int id) {
    const auto found = m_objects.find(id);
    return found != m_objects.end() ? found->second.get() : nullptr;
}

}  // namespace guardtest
