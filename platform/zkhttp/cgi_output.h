#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace camlet {

// The HTTP answer described by the output of a CGI script.
struct CgiResponse {
    unsigned status = 200;
    // Empty: the standard phrase of the status.
    std::string reason;
    // Empty: the script named none.
    std::string contentType;
    // The script's own "Connection" value; empty when it named none.
    std::string connection;
    // Further header lines, in order, as name and value.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// Reads CGI output: header lines ending in "\r\n" or "\n", a blank line, then
// the body, taken byte for byte. "Status" gives the status code (a three-digit
// number from 100 to 599, optionally followed by a reason phrase) and
// "Content-Type" the content type; header names are matched without regard
// to case, and "Connection" is kept apart, as the server decides whether the
// connection stays open. Content-Length and Transfer-Encoding are dropped:
// the server sets them.
// Empty when the header block has no end, a line is not "name: value" (the
// name an HTTP token, the value free of control bytes other than tabs), or the
// status is malformed.
std::optional<CgiResponse> parseCgiOutput(std::string_view output);

}  // namespace camlet
