#pragma once

#include <systemd/sd-bus.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace corbel {
class BusConnection;
}

namespace thermalsim {

// Stands in for the thermography service on the system bus that
// DBUS_SYSTEM_BUS_ADDRESS names: owns "com.zelk.Thermographyd1" and serves,
// at "/com/zelk/Thermographyd1" with the interface of the same name,
// "GetGainMode" and "GetGainThreshold" (int32), "SetGainMode" (int32, for a
// person trying the camera out: stores and announces it) and the signals
// "GainModeChanged" and "GainThresholdChanged". Calls are answered on the
// connection's own thread; the methods here may be called from any thread.
class ThermographyService {
  public:
    // Connects and takes the name; throws corbel::BusError when that fails.
    ThermographyService(int32_t gain_mode, int32_t gain_threshold);
    ~ThermographyService();
    ThermographyService(const ThermographyService&) = delete;
    ThermographyService& operator=(const ThermographyService&) = delete;

    // Store the value and announce it with its change signal.
    void set_gain_mode(int32_t mode);
    void set_gain_threshold(int32_t threshold);
    // Leaves the bus and comes back under the same name on a new
    // connection, as a restarted service does.
    void restart();
    // A "GainModeChanged" that carries a string instead of an int32.
    void send_malformed_gain_mode_changed(const std::string& text);

    // Calls answered so far.
    int gain_mode_calls() const { return m_gain_mode_calls.load(); }
    int gain_threshold_calls() const { return m_gain_threshold_calls.load(); }

  private:
    static const sd_bus_vtable* vtable();
    void connect();
    void disconnect();
    void emit(const char* member, char type, const void* value);
    static int on_get_gain_mode(sd_bus_message* call, void* userdata, sd_bus_error* error);
    static int on_set_gain_mode(sd_bus_message* call, void* userdata, sd_bus_error* error);
    static int on_get_gain_threshold(sd_bus_message* call, void* userdata, sd_bus_error* error);

    std::unique_ptr<corbel::BusConnection> m_bus;
    sd_bus_slot* m_object = nullptr;  // with the connection locked
    std::atomic<int32_t> m_gain_mode;
    std::atomic<int32_t> m_gain_threshold;
    std::atomic<int> m_gain_mode_calls{0};
    std::atomic<int> m_gain_threshold_calls{0};
};

}  // namespace thermalsim
