#pragma once

// Consistent overhead byte stuffing: turns any byte string into one without
// zero bytes (one extra byte per 254), so that a binary frame can travel as a
// NUL-terminated text.

#include <optional>
#include <string>

namespace scene::cobs {

std::string encode(const std::string& bytes);

// Decodes up to the first NUL of text. Empty when the stuffing is broken
// (a block that runs into the terminator). Never reads past the NUL.
std::optional<std::string> decode(const char* text);

}  // namespace scene::cobs
