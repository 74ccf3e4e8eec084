#include "cobs.h"

#include <cstring>

namespace scene::cobs {

namespace {
constexpr unsigned char kLongestBlock = 0xFF;
}

std::string encode(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 254 + 2);
    size_t codeAt = out.size();
    out.push_back('\x01');
    unsigned char code = 1;
    for (const char c : bytes) {
        if (c != '\0') {
            out.push_back(c);
            ++code;
        }
        if (c == '\0' || code == kLongestBlock) {
            out[codeAt] = static_cast<char>(code);
            codeAt = out.size();
            out.push_back('\x01');
            code = 1;
        }
    }
    out[codeAt] = static_cast<char>(code);
    return out;
}

std::optional<std::string> decode(const char* text) {
    std::string out;
    // Decoding only drops the block codes: the result is never longer.
    out.reserve(std::strlen(text));
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        const unsigned char code = *p++;
        for (unsigned i = 1; i < code; ++i) {
            if (*p == 0) {
                return std::nullopt;
            }
            out.push_back(static_cast<char>(*p++));
        }
        // A short block stands for a zero byte, except the one that ends the text.
        if (code < kLongestBlock && *p != 0) {
            out.push_back('\0');
        }
    }
    return out;
}

}  // namespace scene::cobs
