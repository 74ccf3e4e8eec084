#include "guard/ptz_state.h"

bool PtzState::shouldDataBeProcessed(int64_t frameTime) const {
    if (!m_isMechanicalPTZ) {
        return true;
    }
    if (m_isMoving) {
        return false;
    }
    switch (m_preset) {
        case kNoPreset:
            return frameTime >= m_movementTime;
        case kAnyPreset:
            return m_currentPreset != kNotAtPreset && frameTime >= m_presetArrivalTime;
        default:
            return m_currentPreset == m_preset && frameTime >= m_presetArrivalTime;
    }
}

void PtzState::arriveAtPreset(int preset, int64_t time) {
    m_currentPreset = preset;
    m_presetArrivalTime = time;
}

void PtzState::setMoving(bool moving, int64_t time) {
    m_isMoving = moving;
    m_movementTime = time;
}
