#pragma once

#include <cstdint>

// What a frame's time means for the time-based state of a camera's guards.
enum SceneTime_e : int {
    SCENE_TIME_MISSING = 0,  // no time (none carried, or undecodable): track, do not evaluate
    SCENE_TIME_CONTINUES,    // at or after the previous frame's time
    SCENE_TIME_NEW_BASE,     // the first after a restart, or earlier than the previous frame
};

// The time base of one camera's scene frames. Timers, event durations and
// stored times compare frame times with earlier ones; none of them may wait
// for a time that went backwards (a restarted scene service, a clock set
// back). A new time base therefore begins with the first timed frame after a
// restart (a reconnection, tracking started afresh) and with every frame
// earlier than the one before.
class SceneTimeBase {
  public:
    SceneTime_e follow(int64_t frameTime);
    // The next timed frame begins a new time base.
    void restart() { m_restarted = true; }

  private:
    bool m_restarted = true;
    int64_t m_lastTime = 0;
};
