#include "thermography_service.h"

#include <systemd/sd-bus.h>

#include <cstring>
#include <string>

#include "corbel/bus_connection.h"
#include "corbel/errors.h"

namespace thermalsim {
namespace {

constexpr const char* kName = "com.zelk.Thermographyd1";
constexpr const char* kPath = "/com/zelk/Thermographyd1";

void check(int r, const char* what) {
    if (r < 0) {
        throw corbel::BusError(std::string("ThermographyService: ") + what + ": " +
                               std::strerror(-r));
    }
}

}  // namespace

ThermographyService::ThermographyService(int32_t gain_mode, int32_t gain_threshold)
    : m_gain_mode(gain_mode), m_gain_threshold(gain_threshold) {
    connect();
}

ThermographyService::~ThermographyService() {
    disconnect();
}

void ThermographyService::connect() {
    sd_bus* bus = nullptr;
    check(sd_bus_open_system(&bus), "cannot connect");
    m_bus = std::make_unique<corbel::BusConnection>(bus);
    m_bus->with([&](sd_bus* b) {
        check(sd_bus_add_object_vtable(b, &m_object, kPath, kName, vtable(), this),
              "cannot publish the object");
        check(sd_bus_request_name(b, kName, 0), "cannot take the name");
    });
}

const sd_bus_vtable* ThermographyService::vtable() {
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("GetGainMode", "", "i", &ThermographyService::on_get_gain_mode,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("GetGainThreshold", "", "i", &ThermographyService::on_get_gain_threshold,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("SetGainMode", "i", "", &ThermographyService::on_set_gain_mode,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_SIGNAL("GainModeChanged", "i", 0),
        SD_BUS_SIGNAL("GainThresholdChanged", "i", 0),
        SD_BUS_VTABLE_END};
    return table;
}

void ThermographyService::disconnect() {
    m_bus->with([&](sd_bus*) { m_object = sd_bus_slot_unref(m_object); });
    m_bus.reset();
}

void ThermographyService::restart() {
    disconnect();
    connect();
}

void ThermographyService::set_gain_mode(int32_t mode) {
    m_gain_mode = mode;
    emit("GainModeChanged", 'i', &mode);
}

void ThermographyService::set_gain_threshold(int32_t threshold) {
    m_gain_threshold = threshold;
    emit("GainThresholdChanged", 'i', &threshold);
}

void ThermographyService::send_malformed_gain_mode_changed(const std::string& text) {
    emit("GainModeChanged", 's', text.c_str());
}

void ThermographyService::emit(const char* member, char type, const void* value) {
    m_bus->with([&](sd_bus* bus) {
        sd_bus_message* signal = nullptr;
        check(sd_bus_message_new_signal(bus, &signal, kPath, kName, member),
              "cannot build a signal");
        int r = sd_bus_message_append_basic(signal, type, value);
        if (r >= 0) {
            r = sd_bus_send(bus, signal, nullptr);
        }
        sd_bus_message_unref(signal);
        check(r, "cannot send a signal");
    });
}

int ThermographyService::on_get_gain_mode(sd_bus_message* call, void* userdata, sd_bus_error*) {
    auto* self = static_cast<ThermographyService*>(userdata);
    ++self->m_gain_mode_calls;
    return sd_bus_reply_method_return(call, "i", self->m_gain_mode.load());
}

int ThermographyService::on_set_gain_mode(sd_bus_message* call, void* userdata, sd_bus_error*) {
    auto* self = static_cast<ThermographyService*>(userdata);
    int32_t mode = 0;
    int r = sd_bus_message_read(call, "i", &mode);
    if (r < 0) {
        return r;
    }
    self->m_gain_mode = mode;
    r = sd_bus_emit_signal(sd_bus_message_get_bus(call), kPath, kName, "GainModeChanged", "i",
                           mode);
    if (r < 0) {
        return r;
    }
    return sd_bus_reply_method_return(call, "");
}

int ThermographyService::on_get_gain_threshold(sd_bus_message* call, void* userdata,
                                               sd_bus_error*) {
    auto* self = static_cast<ThermographyService*>(userdata);
    ++self->m_gain_threshold_calls;
    return sd_bus_reply_method_return(call, "i", self->m_gain_threshold.load());
}

}  // namespace thermalsim
