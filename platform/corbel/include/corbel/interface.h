#pragma once

#include "corbel/errors.h"
#include "corbel/object_path.h"
#include "corbel/property_types.h"

#include <boost/exception/info.hpp>

#include <systemd/sd-bus.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace corbel {

class BusConnection;
class PropertyUpdate;

// Typed handles of an interface's members, returned when they are declared.
template <typename T, typename Kind>
class MemberHandle {
  public:
    size_t index() const { return m_index; }

  private:
    friend class Interface;
    explicit MemberHandle(size_t index) : m_index(index) {}
    size_t m_index;
};
template <typename T>
using Property = MemberHandle<T, struct PropertyKind>;
template <typename T>
using Signal = MemberHandle<T, struct SignalKind>;

// A D-Bus interface offered by an object: read-only typed properties, each
// with optional declared ranges, and signals with one argument. Members are
// declared before the interface is registered (API_Registry::add_object).
// Property values change only through a PropertyUpdate, whose commit sends one
// "PropertiesChanged" for everything it changed.
//
// Thread-safe: updates and signals may come from any thread while the bus
// thread reads the properties. Lock order: the bus connection, then the
// interface.
class Interface {
  public:
    explicit Interface(std::string name) : m_name(std::move(name)) {}
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    const std::string& name() const { return m_name; }

    // Declares a property. Empty ranges allow every value; otherwise the value
    // must lie in one of them. A default outside them throws RangeError
    // ("Property 'NAME': Default value out of range").
    template <typename T>
    Property<T> add_property(std::string name, T initial, std::vector<Range<T>> ranges = {});

    template <typename T>
    Signal<T> add_signal(std::string name) {
        assertUnpublished();
        m_signals.push_back({std::move(name), std::string(1, bus_signature<T>())});
        return Signal<T>(m_signals.size() - 1);
    }

    template <typename T>
    T get(Property<T> property) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::get<T>(m_properties.at(property.index()).value);
    }

    // Starts a transactional update of the property values.
    PropertyUpdate begin_update();

    // Emits the signal on the object's path (nothing while unregistered).
    template <typename T>
    void emit(Signal<T> signal, const T& value) {
        emitSignal(m_signals.at(signal.index()).name, Value(value));
    }

  private:
    friend class PropertyUpdate;
    friend class ObjectRegistration;

    struct PropertyRecord {
        std::string name;
        std::string signature;
        Value value;
        std::vector<std::pair<Value, Value>> ranges;
        bool allows(const Value& candidate) const;
    };
    struct SignalRecord {
        std::string name;
        std::string signature;
    };
    struct Publication {
        BusConnection* bus = nullptr;
        std::string path;
    };

    void assertUnpublished() const;
    const PropertyRecord& property(size_t index) const { return m_properties.at(index); }
    // Stores the values that differ from the current ones; returns the names of
    // the properties that changed.
    std::vector<std::string> store(const std::vector<std::pair<size_t, Value>>& values);
    void emitPropertiesChanged(const std::vector<std::string>& names);
    void emitSignal(const std::string& name, const Value& value);
    Publication publication() const;

    // Called by the registration.
    const sd_bus_vtable* vtable();
    void publish(BusConnection* bus, std::string path);
    void unpublish();
    static int readProperty(sd_bus* bus, const char* path, const char* interface,
                            const char* property, sd_bus_message* reply, void* userdata,
                            sd_bus_error* error);

    std::string m_name;
    std::vector<PropertyRecord> m_properties;  // values under m_mutex
    std::vector<SignalRecord> m_signals;
    std::vector<sd_bus_vtable> m_vtable;  // built on registration, then fixed
    Publication m_publication;            // under m_mutex
    mutable std::mutex m_mutex;
};

// A set of property changes applied together by commit(). A value outside its
// property's ranges throws RangeError ("Value out of range") from set() and
// nothing of the update is applied unless it is committed afterwards.
class PropertyUpdate {
  public:
    explicit PropertyUpdate(Interface& interface) : m_interface(interface) {}

    template <typename T>
    PropertyUpdate& set(Property<T> property, T value) {
        const Interface::PropertyRecord& record = m_interface.property(property.index());
        Value candidate(std::move(value));
        if (!record.allows(candidate)) {
            throw RangeError("Value out of range") << errinfo_property(record.name);
        }
        m_values.emplace_back(property.index(), std::move(candidate));
        return *this;
    }

    // Stores the values and sends one "PropertiesChanged" naming those that
    // differ from the stored ones (none when nothing changed). Returns the
    // number of properties that changed.
    size_t commit();

  private:
    Interface& m_interface;
    std::vector<std::pair<size_t, Value>> m_values;
};

template <typename T>
Property<T> Interface::add_property(std::string name, T initial, std::vector<Range<T>> ranges) {
    assertUnpublished();
    PropertyRecord record{
        std::move(name), std::string(1, bus_signature<T>()), Value(initial), {}};
    for (Range<T>& range : ranges) {
        // Built in place from the bounds: moving a temporary Value trips a
        // false "maybe uninitialized" warning of GCC 12 at -O3.
        record.ranges.emplace_back(std::piecewise_construct, std::forward_as_tuple(range.min),
                                   std::forward_as_tuple(range.max));
    }
    if (!record.allows(record.value)) {
        throw RangeError("Property '" + record.name + "': Default value out of range")
            << errinfo_property(record.name);
    }
    m_properties.push_back(std::move(record));
    return Property<T>(m_properties.size() - 1);
}

}  // namespace corbel
