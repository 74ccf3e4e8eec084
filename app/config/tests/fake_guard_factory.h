#pragma once

#include <jansson.h>

#include <memory>
#include <vector>

#include "base/status_exception.h"
#include "config/data_boundaries.h"

class Guard;

namespace configtest {

// Reads only what the parser asks of a factory. A profile member "status"
// makes it fail with that code; it builds no guards.
class FakeGuardFactory {
  public:
    struct Built {
        int uid;
        int rotation;
    };

    FakeGuardFactory(const json_t& profile, int rotation, const DataBoundaries&)
        : m_uid(intMember(profile, "uid")),
          m_camera(intMember(profile, "camera")),
          m_status(static_cast<StatusCode_e>(intMember(profile, "status"))),
          m_alarmOverlay(json_is_true(json_object_get(&profile, "alarmOverlayEnabled"))) {
        s_built.push_back({m_uid, rotation});
    }

    StatusCode_e getStatus() const { return m_status; }
    int getUid() const { return m_uid; }
    int getCamera() const { return m_camera; }
    bool isAlarmOverlayEnabled() const { return m_alarmOverlay; }
    std::unique_ptr<Guard> createGuard() const { return nullptr; }

    // Every factory made, in order.
    static inline std::vector<Built> s_built;

  private:
    static int intMember(const json_t& object, const char* key) {
        return static_cast<int>(json_integer_value(json_object_get(&object, key)));
    }

    int m_uid;
    int m_camera;
    StatusCode_e m_status;
    bool m_alarmOverlay;
};

}  // namespace configtest
