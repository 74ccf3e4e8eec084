#include "cgi_output.h"

#include <glib.h>

namespace camlet {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view name, std::string_view wanted) {
    return name.size() == wanted.size() &&
           g_ascii_strncasecmp(name.data(), wanted.data(), name.size()) == 0;
}

bool isTransferHeader(std::string_view name) {
    return sameName(name, "Content-Length") || sameName(name, "Transfer-Encoding");
}

// "404" or "404 Not Found".
bool readStatus(std::string_view value, CgiResponse& response) {
    if (value.size() < 3 || (value.size() > 3 && value[3] != ' ')) {
        return false;
    }
    unsigned code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (!g_ascii_isdigit(value[i])) {
            return false;
        }
        code = code * 10 + static_cast<unsigned>(value[i] - '0');
    }
    if (code < 100 || code > 599) {
        return false;
    }
    response.status = code;
    response.reason = std::string(trimmed(value.substr(3)));
    return true;
}

// A header name is an HTTP token.
bool isName(std::string_view text) {
    constexpr std::string_view kSymbols = "!#$%&'*+-.^_`|~";
    for (const char c : text) {
        if (!g_ascii_isalnum(c) && kSymbols.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return !text.empty();
}

// A header value holds no control bytes other than tabs.
bool isValue(std::string_view text) {
    for (const char c : text) {
        if (g_ascii_iscntrl(c) && c != '\t') {
            return false;
        }
    }
    return true;
}

bool readHeaderLine(std::string_view line, CgiResponse& response) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = trimmed(line.substr(colon + 1));
    if (!isName(name) || !isValue(value)) {
        return false;
    }
    if (sameName(name, "Status")) {
        return readStatus(value, response);
    }
    if (sameName(name, "Content-Type")) {
        response.contentType = std::string(value);
    } else if (sameName(name, "Connection")) {
        response.connection = std::string(value);
    } else if (!isTransferHeader(name)) {
        response.headers.emplace_back(std::string(name), std::string(value));
    }
    return true;
}

}  // namespace

std::optional<CgiResponse> parseCgiOutput(std::string_view output) {
    CgiResponse response;
    size_t position = 0;
    for (;;) {
        const size_t end = output.find('\n', position);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view line = output.substr(position, end - position);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        position = end + 1;
        if (line.empty()) {
            break;
        }
        if (!readHeaderLine(line, response)) {
            return std::nullopt;
        }
    }
    response.body = std::string(output.substr(position));
    return response;
}

}  // namespace camlet
