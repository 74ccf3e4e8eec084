#pragma once

#include <cstddef>

namespace camlet {

// The one path the host's web server serves, by POST only.
constexpr const char* kCgiPath = "/local/dwellwatch/control.cgi";
// Larger request bodies are refused with 413 before they are read whole.
constexpr size_t kMaxRequestBody = 1024 * 1024;

}  // namespace camlet
