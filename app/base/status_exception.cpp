#include "status_exception.h"

#include <utility>

StatusException::StatusException(std::string message, StatusCode_e code)
    : m_message(std::move(message)), m_code(code) {}

const char* StatusException::what() const noexcept {
    return m_message.c_str();
}
