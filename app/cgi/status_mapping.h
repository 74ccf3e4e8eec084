#pragma once

#include <string>

#include "base/status_exception.h"

namespace utils {

// The error code of the JSON API for a status, as a text ("0" for STATUS_OK).
std::string convertStatusToJsonCode(StatusCode_e status);
// The error message of the JSON API for a status (empty for STATUS_OK).
std::string convertStatusToJsonMessage(StatusCode_e status);

}  // namespace utils
