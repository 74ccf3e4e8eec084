#include "corbel/interface.h"

#include "corbel/bus_connection.h"

#include <cstring>
#include <memory>

namespace corbel {
namespace {

struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

int appendValue(sd_bus_message* message, const Value& value) {
    return std::visit(
        [message](const auto& v) -> int {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return sd_bus_message_append_basic(message, 's', v.c_str());
            } else if constexpr (std::is_same_v<T, bool>) {
                const int flag = v ? 1 : 0;
                return sd_bus_message_append_basic(message, 'b', &flag);
            } else {
                return sd_bus_message_append_basic(message, bus_signature<T>(), &v);
            }
        },
        value);
}

sd_bus_vtable vtableEntry(uint8_t type, uint64_t flags) {
    sd_bus_vtable entry;
    std::memset(&entry, 0, sizeof entry);  // unused parts of the union must be zero
    entry.type = type;
    entry.flags = flags;
    return entry;
}

}  // namespace

bool Interface::PropertyRecord::allows(const Value& candidate) const {
    if (ranges.empty()) {
        return true;
    }
    for (const auto& [min, max] : ranges) {
        if (!(candidate < min) && !(max < candidate)) {
            return true;
        }
    }
    return false;
}

void Interface::assertUnpublished() const {
    if (!m_vtable.empty()) {
        throw Error("Interface " + m_name + " is already published; its members are fixed");
    }
}

PropertyUpdate Interface::begin_update() {
    return PropertyUpdate(*this);
}

std::vector<std::string> Interface::store(const std::vector<std::pair<size_t, Value>>& values) {
    std::vector<std::string> changed;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [index, value] : values) {
        PropertyRecord& record = m_properties.at(index);
        if (record.value == value) {
            continue;
        }
        record.value = value;
        if (std::find(changed.begin(), changed.end(), record.name) == changed.end()) {
            changed.push_back(record.name);
        }
    }
    return changed;
}

Interface::Publication Interface::publication() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_publication;
}

void Interface::emitPropertiesChanged(const std::vector<std::string>& names) {
    const Publication target = publication();
    if (target.bus == nullptr || names.empty()) {
        return;
    }
    std::vector<char*> strv;
    for (const std::string& name : names) {
        strv.push_back(const_cast<char*>(name.c_str()));
    }
    strv.push_back(nullptr);
    target.bus->with([&](sd_bus* bus) {
        // A failed emission loses only the notification; the values are stored.
        return (void)sd_bus_emit_properties_changed_strv(bus, target.path.c_str(), m_name.c_str(),
                                                         strv.data());
    });
}

void Interface::emitSignal(const std::string& name, const Value& value) {
    const Publication target = publication();
    if (target.bus == nullptr) {
        return;
    }
    target.bus->with([&](sd_bus* bus) {
        sd_bus_message* raw = nullptr;
        if (sd_bus_message_new_signal(bus, &raw, target.path.c_str(), m_name.c_str(),
                                      name.c_str()) < 0) {
            return;
        }
        MessagePtr message(raw);
        if (appendValue(message.get(), value) >= 0) {
            (void)sd_bus_send(bus, message.get(), nullptr);
        }
    });
}

const sd_bus_vtable* Interface::vtable() {
    if (!m_vtable.empty()) {
        return m_vtable.data();
    }
    sd_bus_vtable start = vtableEntry(_SD_BUS_VTABLE_START, 0);
    start.x.start.element_size = sizeof(sd_bus_vtable);
    start.x.start.features = _SD_BUS_VTABLE_PARAM_NAMES;
    start.x.start.vtable_format_reference = &sd_bus_object_vtable_format;
    m_vtable.push_back(start);
    for (const PropertyRecord& record : m_properties) {
        sd_bus_vtable entry =
            vtableEntry(_SD_BUS_VTABLE_PROPERTY, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE);
        entry.x.property.member = record.name.c_str();
        entry.x.property.signature = record.signature.c_str();
        entry.x.property.get = &Interface::readProperty;
        m_vtable.push_back(entry);
    }
    for (const SignalRecord& record : m_signals) {
        sd_bus_vtable entry = vtableEntry(_SD_BUS_VTABLE_SIGNAL, 0);
        entry.x.signal.member = record.name.c_str();
        entry.x.signal.signature = record.signature.c_str();
        entry.x.signal.names = "value\0";
        m_vtable.push_back(entry);
    }
    m_vtable.push_back(vtableEntry(_SD_BUS_VTABLE_END, 0));
    return m_vtable.data();
}

void Interface::publish(BusConnection* bus, std::string path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_publication.bus != nullptr) {
        throw BusError("Interface " + m_name + " is already published at " + m_publication.path);
    }
    m_publication = {bus, std::move(path)};
}

void Interface::unpublish() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_publication = {};
}

int Interface::readProperty(sd_bus*, const char*, const char*, const char* property,
                            sd_bus_message* reply, void* userdata, sd_bus_error*) {
    const auto* self = static_cast<const Interface*>(userdata);
    std::lock_guard<std::mutex> lock(self->m_mutex);
    for (const PropertyRecord& record : self->m_properties) {
        if (record.name == property) {
            return appendValue(reply, record.value);
        }
    }
    return -ENOENT;
}

size_t PropertyUpdate::commit() {
    const std::vector<std::string> changed = m_interface.store(m_values);
    m_values.clear();
    m_interface.emitPropertiesChanged(changed);
    return changed.size();
}

}  // namespace corbel
