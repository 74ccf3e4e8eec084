#pragma once

#include <exception>
#include <string>

// Outcome codes of configuration and API operations. The values are bit-like
// and are mapped to the error codes of the JSON API.
enum StatusCode_e {
    STATUS_OK = 0,
    STATUS_BAD_JSON = 2,
    STATUS_MISSING_PARAMETER = 8,
    STATUS_INVALID_PARAMETER = 16,
    STATUS_CONTRADICTION = 32,
    STATUS_SAVE_FAILED = 64,
    STATUS_READ_FAILED = 128,
    STATUS_METHOD_NOT_FOUND = 256,
    STATUS_INTERNAL = 512,
    STATUS_VERSION_NOT_SUPPORTED = 1024,
    STATUS_PRODUCT_NOT_SUPPORTED = 2048,
    STATUS_TOO_MANY_PROFILES = 4096,
};

// The one error type of configuration and API code: a message for the log and
// a status code for the caller. Thrown by configuration code and caught at the
// boundary (parser, guard factory, each API method).
class StatusException : public std::exception {
  public:
    StatusException(std::string message, StatusCode_e code);
    ~StatusException() override = default;

    const char* what() const noexcept override;
    StatusCode_e getStatusCode() const noexcept { return m_code; }

  private:
    std::string m_message;
    StatusCode_e m_code;
};
