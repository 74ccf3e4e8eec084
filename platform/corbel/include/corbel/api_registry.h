#pragma once

#include "corbel/interface.h"
#include "corbel/object_path.h"

#include <memory>
#include <string>

namespace corbel {

class BusConnection;

// An interface published under an object path; unpublished when destroyed.
class ObjectRegistration {
  public:
    ObjectRegistration(BusConnection& bus, const ObjectPath& path,
                       std::shared_ptr<Interface> interface);
    ~ObjectRegistration();
    ObjectRegistration(const ObjectRegistration&) = delete;
    ObjectRegistration& operator=(const ObjectRegistration&) = delete;

    const ObjectPath& path() const { return m_path; }

  private:
    BusConnection& m_bus;
    ObjectPath m_path;
    std::shared_ptr<Interface> m_interface;
    sd_bus_slot* m_slot = nullptr;
};

// The process's connection to the framework: the system bus connection with
// its dispatch thread, and the root path under which objects are published.
class CorbelHelper {
  public:
    // Connects on first use; throws BusError when the bus cannot be reached.
    static CorbelHelper& global_helper();

    const ObjectPath& root() const { return m_root; }
    BusConnection& bus() { return m_bus; }

    // The connection's unique bus name (":1.42").
    std::string unique_name();
    // Takes a well-known bus name; throws BusError when that fails.
    void request_name(const std::string& name);

  private:
    explicit CorbelHelper(BusConnection& bus) : m_bus(bus), m_root("/com/zelk") {}

    BusConnection& m_bus;
    ObjectPath m_root;
};

class API_Registry {
  public:
    // Publishes the interface at the path on the global helper's bus. A path
    // already in use, or an interface already published, throws BusError.
    static std::unique_ptr<ObjectRegistration> add_object(const ObjectPath& path,
                                                          std::shared_ptr<Interface> interface);
};

}  // namespace corbel
