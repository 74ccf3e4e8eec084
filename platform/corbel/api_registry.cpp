#include "corbel/api_registry.h"

#include "corbel/bus_connection.h"

#include <cstring>
#include <utility>

namespace corbel {

ObjectRegistration::ObjectRegistration(BusConnection& bus, const ObjectPath& path,
                                       std::shared_ptr<Interface> interface)
    : m_bus(bus), m_path(path), m_interface(std::move(interface)) {
    const sd_bus_vtable* vtable = m_interface->vtable();
    m_interface->publish(&m_bus, m_path.str());
    const int r = m_bus.with([&](sd_bus* b) {
        return sd_bus_add_object_vtable(b, &m_slot, m_path.str().c_str(),
                                        m_interface->name().c_str(), vtable, m_interface.get());
    });
    if (r < 0) {
        m_interface->unpublish();
        throw BusError("Failed to publish " + m_interface->name() + " at " + m_path.str() + ": " +
                       std::strerror(-r))
            << errinfo_path(m_path.str());
    }
}

ObjectRegistration::~ObjectRegistration() {
    m_interface->unpublish();
    m_bus.with([this](sd_bus*) { sd_bus_slot_unref(m_slot); });
}

CorbelHelper& CorbelHelper::global_helper() {
    static CorbelHelper helper(BusConnection::system());
    return helper;
}

std::string CorbelHelper::unique_name() {
    return m_bus.with([](sd_bus* bus) {
        const char* name = nullptr;
        sd_bus_get_unique_name(bus, &name);
        return std::string(name != nullptr ? name : "");
    });
}

void CorbelHelper::request_name(const std::string& name) {
    const int r =
        m_bus.with([&](sd_bus* bus) { return sd_bus_request_name(bus, name.c_str(), 0); });
    if (r < 0) {
        throw BusError("Failed to take the bus name " + name + ": " + std::strerror(-r));
    }
}

std::unique_ptr<ObjectRegistration> API_Registry::add_object(const ObjectPath& path,
                                                             std::shared_ptr<Interface> interface) {
    return std::make_unique<ObjectRegistration>(CorbelHelper::global_helper().bus(), path,
                                                std::move(interface));
}

}  // namespace corbel
