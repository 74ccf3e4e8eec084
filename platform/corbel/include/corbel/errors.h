#pragma once

#include <boost/exception/error_info.hpp>
#include <boost/exception/exception.hpp>
#include <boost/exception/get_error_info.hpp>

#include <stdexcept>
#include <string>

namespace corbel {

// Every error the framework raises: a runtime error whose what() is the
// message, and a Boost exception, so callers can attach or read details
// (the property or enum concerned) with error_info tags.
class Error : public std::runtime_error, public virtual boost::exception {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A string that is not a valid value of the type it was given for.
class InvalidValueError : public Error {
  public:
    using Error::Error;
};

// A property value outside the ranges declared for it.
class RangeError : public Error {
  public:
    using Error::Error;
};

// A name or number that is not a member of an enum.
class EnumError : public Error {
  public:
    using Error::Error;
};

// A fault of the bus connection (connecting, registering, sending).
class BusError : public Error {
  public:
    using Error::Error;
};

// Details attached to the errors above.
using errinfo_property = boost::error_info<struct errinfo_property_tag, std::string>;
using errinfo_path = boost::error_info<struct errinfo_path_tag, std::string>;

}  // namespace corbel
