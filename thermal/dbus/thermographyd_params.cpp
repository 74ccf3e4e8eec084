#include "thermographyd_params.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>

#include "pictor/init_tools.h"
#include "pictor/log.h"

namespace {

constexpr const char* kPath = "/com/zelk/Thermographyd1";
constexpr const char* kNameOwnerChanged =
    "type='signal',interface='org.freedesktop.DBus',member='NameOwnerChanged'";

void log_error(const char* what, int error) {
    Pictor::ilog(Pictor::LogLevel::Error, "%s%s", what, std::strerror(-error));
}

}  // namespace

const char* const ThermographydParams::kService = "com.zelk.Thermographyd1";

ThermographydParams::ThermographydParams(const std::string& name,
                                         const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_event_port(make_eventport("event_port")),
      m_gain_mode_out(add_outport<Pictor::datatype_int32>("gain_mode_out")),
      m_gain_threshold_out(add_outport<Pictor::datatype_int32>("gain_threshold_out")),
      m_handlers{{{this, kModeSignal},
                  {this, kModeAnswer},
                  {this, kThresholdSignal},
                  {this, kThresholdAnswer}}} {}

ThermographydParams::~ThermographydParams() {
    if (!m_started) {
        return;
    }
    // With the connection locked no callback runs, and none runs afterwards.
    auto bus = init_tools().system_bus().access();
    for (sd_bus_slot* slot :
         {m_mode_match, m_threshold_match, m_owner_match, m_mode_call, m_threshold_call}) {
        sd_bus_slot_unref(slot);
    }
}

void ThermographydParams::start() {
    auto bus = init_tools().system_bus().access();
    m_started = true;
    add_signal_match(bus.get(), &m_mode_match, "GainModeChanged", kModeSignal);
    call(bus.get(), &m_mode_call, "GetGainMode", kModeAnswer);
    add_signal_match(bus.get(), &m_threshold_match, "GainThresholdChanged", kThresholdSignal);
    call(bus.get(), &m_threshold_call, "GetGainThreshold", kThresholdAnswer);
    const int r = sd_bus_add_match(bus.get(), &m_owner_match, kNameOwnerChanged,
                                   &ThermographydParams::on_name_owner_changed, this);
    if (r < 0) {
        log_error("Failed to add match for NameOwnerChanged: ", r);
    }
}

void ThermographydParams::add_signal_match(sd_bus* bus, sd_bus_slot** slot, const char* member,
                                           News news) {
    const int r = sd_bus_match_signal(bus, slot, kService, kPath, kService, member,
                                      &ThermographydParams::on_value, &m_handlers[news]);
    if (r < 0) {
        const std::string what = std::string("Failed to add match for signal ") + member + ": ";
        log_error(what.c_str(), r);
    }
}

void ThermographydParams::request_values(sd_bus* bus) {
    call(bus, &m_mode_call, "GetGainMode", kModeAnswer);
    call(bus, &m_threshold_call, "GetGainThreshold", kThresholdAnswer);
}

void ThermographydParams::call(sd_bus* bus, sd_bus_slot** slot, const char* method, News news) {
    // A call still waiting for its answer gives way to the new one.
    *slot = sd_bus_slot_unref(*slot);
    const int r = sd_bus_call_method_async(bus, slot, kService, kPath, kService, method,
                                           &ThermographydParams::on_value, &m_handlers[news], "");
    if (r < 0) {
        const std::string what = std::string("Failed to call ") + method + ": ";
        log_error(what.c_str(), r);
    }
}

int ThermographydParams::on_value(sd_bus_message* message, void* userdata, sd_bus_error*) {
    const auto* handler = static_cast<const Handler*>(userdata);
    return handler->block->take_value(message, handler->news);
}

int ThermographydParams::take_value(sd_bus_message* message, News news) {
    const bool is_signal = news == kModeSignal || news == kThresholdSignal;
    if (const sd_bus_error* error = sd_bus_message_get_error(message)) {
        Pictor::ilog(Pictor::LogLevel::Error, "Error while receiving DBus %s: %s",
                     is_signal ? "signal" : "call", error->message);
        return -sd_bus_message_get_errno(message);
    }
    uint8_t type = 0;
    int r = sd_bus_message_get_type(message, &type);
    if (r >= 0 && type != SD_BUS_MESSAGE_METHOD_RETURN && type != SD_BUS_MESSAGE_SIGNAL) {
        r = -EBADMSG;
    }
    if (r < 0) {
        log_error("sd_bus_message_get_type: ", r);
        return r;
    }
    r = sd_bus_message_has_signature(message, "i");
    if (r <= 0) {
        r = r < 0 ? r : -EBADMSG;
        log_error("sd_bus_message_has_signature: ", r);
        return r;
    }
    int32_t value = 0;
    r = sd_bus_message_read_basic(message, 'i', &value);
    if (r < 0) {
        log_error("sd_bus_message_read_basic: ", r);
        return r;
    }
    (news == kModeSignal || news == kModeAnswer ? m_gain_mode : m_gain_threshold).store(value);
    m_news[news].store(true);
    m_event_port->fire();
    return 0;
}

int ThermographydParams::on_name_owner_changed(sd_bus_message* message, void* userdata,
                                               sd_bus_error*) {
    auto* self = static_cast<ThermographydParams*>(userdata);
    const char* name = nullptr;
    const char* old_owner = nullptr;
    const char* new_owner = nullptr;
    const int r = sd_bus_message_read(message, "sss", &name, &old_owner, &new_owner);
    if (r < 0) {
        log_error("NameOwnerChanged failed to parse message: ", r);
        return r;
    }
    if (std::strcmp(name, kService) == 0 && new_owner[0] != '\0') {
        // A restarted service is read again; the calls go out from here, on
        // the bus's thread.
        self->request_values(sd_bus_message_get_bus(message));
        self->m_new_owner.store(true);
        self->m_event_port->fire();
    }
    return 0;
}

void ThermographydParams::process() {
    static constexpr const char* kNewsMessages[kNewsKinds] = {
        "Got signal from thermographyd: GainModeChanged",
        "Got answer from thermographyd: GetGainMode",
        "Got signal from thermographyd: GainThresholdChanged",
        "Got answer from thermographyd: GetGainThreshold"};
    for (int news = 0; news < kNewsKinds; ++news) {
        if (!m_news[news].exchange(false)) {
            continue;
        }
        Pictor::ilog(Pictor::LogLevel::Info, "%s", kNewsMessages[news]);
        if (news == kModeSignal || news == kModeAnswer) {
            m_gain_mode_out.send({m_gain_mode.load()});
        } else {
            m_gain_threshold_out.send({m_gain_threshold.load()});
        }
    }
    if (m_new_owner.exchange(false)) {
        Pictor::ilog(Pictor::LogLevel::Info, "Got signal with new owner for thermographyd!");
    }
}
