#include "corbel/object_path.h"

#include "corbel/errors.h"

#include <boost/exception/info.hpp>

#include <systemd/sd-bus.h>

#include <utility>

namespace corbel {

ObjectPath::ObjectPath(std::string path) : m_path(std::move(path)) {
    if (sd_bus_object_path_is_valid(m_path.c_str()) <= 0) {
        throw InvalidValueError("String is not a valid ObjectPath") << errinfo_path(m_path);
    }
}

ObjectPath ObjectPath::operator/(std::string_view element) const {
    std::string joined = m_path == "/" ? std::string() : m_path;
    joined += '/';
    joined += element;
    return ObjectPath(std::move(joined));
}

}  // namespace corbel
