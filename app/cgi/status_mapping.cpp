#include "cgi/status_mapping.h"

namespace utils {

namespace {

constexpr const char* kInternalMessage = "An error occurred inside the application.";

}  // namespace

std::string convertStatusToJsonCode(StatusCode_e status) {
    switch (status) {
        case STATUS_OK:
            return "0";
        case STATUS_BAD_JSON:
            return "2001";
        case STATUS_MISSING_PARAMETER:
            return "2003";
        case STATUS_INVALID_PARAMETER:
            return "2004";
        case STATUS_CONTRADICTION:
        case STATUS_TOO_MANY_PROFILES:
            return "2002";
        case STATUS_METHOD_NOT_FOUND:
            return "2005";
        case STATUS_VERSION_NOT_SUPPORTED:
            return "2000";
        case STATUS_PRODUCT_NOT_SUPPORTED:
            return "8000";
        default:
            return "1000";
    }
}

std::string convertStatusToJsonMessage(StatusCode_e status) {
    switch (status) {
        case STATUS_OK:
            return "";
        case STATUS_BAD_JSON:
            return "The configuration was not formatted correctly, i.e. does not follow "
                   "json-scheme";
        case STATUS_MISSING_PARAMETER:
            return "A mandatory parameter is missing";
        case STATUS_INVALID_PARAMETER:
            return "The configuration contains an invalid parameter";
        case STATUS_CONTRADICTION:
            return "Parts of the configuration contradict each other, e.g several profiles have "
                   "the same id";
        case STATUS_METHOD_NOT_FOUND:
            return "The requested CGI method was not found";
        case STATUS_VERSION_NOT_SUPPORTED:
            return "The requested version of the application is not supported.";
        case STATUS_PRODUCT_NOT_SUPPORTED:
            return "The product is not supported by the Camlet.";
        default:
            return kInternalMessage;
    }
}

}  // namespace utils
