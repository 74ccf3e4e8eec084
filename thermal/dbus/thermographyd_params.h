#pragma once

#include <systemd/sd-bus.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "pictor/block.h"

// Follows the thermography service "com.zelk.Thermographyd1" on the
// framework's system-bus connection: reads its gain mode and gain threshold
// when started and whenever the service gets a new owner (a restart), and
// follows their change signals. Each value is published on "gain_mode_out" or
// "gain_threshold_out" in the block's own run.
//
// Threads: the bus callbacks run on the bus's dispatch thread with the
// connection locked. They only store the value, set a flag and fire the
// event port (and, for a new owner, ask the service again); the block's run
// takes the flags. Failed matches and calls are logged and the block runs on
// without that input; a malformed message is logged and ignored, and the last
// good value stays in force.
class ThermographydParams : public Pictor::Block {
  public:
    static const char* const kService;

    ThermographydParams(const std::string& name, const Pictor::BlockConfiguration& configuration);
    // Releases the matches and pending calls.
    ~ThermographydParams() override;

    void start() override;
    void process() override;

  private:
    enum News { kModeSignal, kModeAnswer, kThresholdSignal, kThresholdAnswer, kNewsKinds };
    struct Handler {
        ThermographydParams* block;
        News news;
    };

    // On the bus's thread (or with the connection locked).
    void add_signal_match(sd_bus* bus, sd_bus_slot** slot, const char* member, News news);
    void request_values(sd_bus* bus);
    void call(sd_bus* bus, sd_bus_slot** slot, const char* method, News news);
    int take_value(sd_bus_message* message, News news);
    static int on_value(sd_bus_message* message, void* userdata, sd_bus_error* error);
    static int on_name_owner_changed(sd_bus_message* message, void* userdata, sd_bus_error* error);

    Pictor::EventPort* m_event_port;
    Pictor::OutPort<Pictor::datatype_int32> m_gain_mode_out;
    Pictor::OutPort<Pictor::datatype_int32> m_gain_threshold_out;
    std::array<Handler, kNewsKinds> m_handlers;

    // Shared with the bus's thread.
    std::atomic<int32_t> m_gain_mode{0};
    std::atomic<int32_t> m_gain_threshold{0};
    std::array<std::atomic<bool>, kNewsKinds> m_news{};
    std::atomic<bool> m_new_owner{false};

    // With the connection locked: the matches of the two signals and of
    // owner changes, and the two calls.
    sd_bus_slot* m_mode_match = nullptr;
    sd_bus_slot* m_threshold_match = nullptr;
    sd_bus_slot* m_owner_match = nullptr;
    sd_bus_slot* m_mode_call = nullptr;
    sd_bus_slot* m_threshold_call = nullptr;
    bool m_started = false;
};
