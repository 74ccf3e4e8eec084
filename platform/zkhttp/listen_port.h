#pragma once

#include <cstdint>
#include <optional>

namespace camlet {

constexpr uint16_t kDefaultHttpPort = 8080;

// The HTTP port named by the text of CAMLET_HTTP_PORT: null or empty gives the
// default port; otherwise a decimal number from 1 to 65535. Empty for any
// other text.
std::optional<uint16_t> parseHttpPort(const char* text);

}  // namespace camlet
