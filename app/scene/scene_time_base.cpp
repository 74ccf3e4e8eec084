#include "scene/scene_time_base.h"

SceneTime_e SceneTimeBase::follow(int64_t frameTime) {
    if (frameTime == 0) {
        return SCENE_TIME_MISSING;
    }
    const bool newBase = m_restarted || frameTime < m_lastTime;
    m_restarted = false;
    m_lastTime = frameTime;
    return newBase ? SCENE_TIME_NEW_BASE : SCENE_TIME_CONTINUES;
}
