#include "playback.h"

#include <glib.h>

#include <algorithm>
#include <vector>

namespace scenesim {

namespace {
constexpr int64_t kSleepSliceUs = 50 * 1000;
constexpr int64_t kSingleFrameLoopUs = 100 * 1000;
}  // namespace

Playback::Playback(const Scenario& scenario, PlaybackOptions options)
    : m_scenario(scenario), m_options(options) {}

bool Playback::waitUntil(int64_t monotonicUs, const std::atomic<bool>& stopping) {
    for (;;) {
        if (stopping) {
            return false;
        }
        const int64_t left = monotonicUs - g_get_monotonic_time();
        if (left <= 0) {
            return true;
        }
        g_usleep(static_cast<gulong>(std::min(left, kSleepSliceUs)));
    }
}

bool Playback::play(int channel, const Send& send, const std::atomic<bool>& stopping) const {
    std::vector<const ScenarioFrame*> frames;
    for (const ScenarioFrame& frame : m_scenario) {
        if (frame.channel == channel) {
            frames.push_back(&frame);
        }
    }
    if (frames.empty()) {
        return true;
    }
    const int64_t first = frames.front()->timeUs;
    const int64_t last = frames.back()->timeUs;
    const int64_t lastStep =
        frames.size() > 1 ? last - frames[frames.size() - 2]->timeUs : kSingleFrameLoopUs;
    const int64_t loopSpan = last - first + std::max<int64_t>(lastStep, 1);
    const int64_t start = g_get_monotonic_time();
    for (int64_t offset = 0;; offset += loopSpan) {
        for (const ScenarioFrame* frame : frames) {
            const auto due = static_cast<int64_t>(
                static_cast<double>(frame->timeUs + offset - first) / m_options.speed);
            const bool isDue = m_options.paced ? waitUntil(start + due, stopping) : !stopping;
            const int64_t stamp =
                m_options.monotonicStamp ? g_get_monotonic_time() - frame->timeUs : offset;
            if (!isDue || !send(*frame, stamp)) {
                return false;
            }
        }
        if (!m_options.loop) {
            return true;
        }
    }
}

}  // namespace scenesim
