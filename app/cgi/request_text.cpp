#include "cgi/request_text.h"

#include <jansson.h>

#include <cstring>

#include "config/json_auto_ptr.h"

namespace requestText {

namespace {

constexpr std::size_t kLoggedBytes = 512;

bool decodes(const std::string& text) {
    return JsonAutoPtr(json_loadb(text.data(), text.size(), 0, nullptr)).get() != nullptr;
}

}  // namespace

std::string repair(const std::string& request) {
    if (request.size() < 2 || decodes(request)) {
        return request;
    }
    // Decoding the leading value alone tells where it ends; only an object
    // (whose last byte is its closing brace) is kept.
    json_error_t error;
    const JsonAutoPtr leading(
        json_loadb(request.data(), request.size(), JSON_DISABLE_EOF_CHECK, &error));
    if (!json_is_object(leading.get())) {
        return request;
    }
    const std::size_t end = static_cast<std::size_t>(error.position);
    if (end == 0 || end > request.size() || request[end - 1] != '}') {
        return request;
    }
    return request.substr(0, end);
}

std::string forLog(const char* request) {
    const std::size_t length = std::strlen(request);
    if (length <= kLoggedBytes) {
        return request;
    }
    return std::string(request, kLoggedBytes) + "... (" + std::to_string(length) + " bytes)";
}

}  // namespace requestText
