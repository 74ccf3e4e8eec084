#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "scenario.h"

namespace scenesim {

struct PlaybackOptions {
    double speed = 1.0;  // 2 plays twice as fast
    bool loop = false;   // start again after the last frame, with times running on
    bool paced = true;   // false: as fast as the receiver takes the frames
    // Frames carry the monotonic time of their sending (as the camera's scene
    // service stamps them) instead of their scenario time.
    bool monotonicStamp = false;
};

// Plays the frames of one channel at their times.
class Playback {
  public:
    // Sends one frame; timeOffsetUs is added to its time (non-zero in later
    // loops, and the distance to the monotonic clock with monotonicStamp).
    // Returns false when the receiver is gone.
    using Send = std::function<bool(const ScenarioFrame& frame, int64_t timeOffsetUs)>;

    Playback(const Scenario& scenario, PlaybackOptions options);

    // Returns when the frames are done (never when looping, unless the channel
    // has none), when send fails (false) or when stopping is set.
    bool play(int channel, const Send& send, const std::atomic<bool>& stopping) const;

  private:
    // Sleeps until the time; false when stopping was set meanwhile.
    static bool waitUntil(int64_t monotonicUs, const std::atomic<bool>& stopping);

    const Scenario& m_scenario;
    const PlaybackOptions m_options;
};

}  // namespace scenesim
