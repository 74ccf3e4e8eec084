#include "cgi/cgi_header.h"

#include <syslog.h>

#include "cgi/request_text.h"
#include "cgi/status_mapping.h"
#include "config/json_parser.h"

namespace {

// A string member, or the empty text when missing or not a string.
std::string readString(const json_t* object, const char* key) {
    const char* text = json_string_value(json_object_get(object, key));
    return text != nullptr ? text : "";
}

}  // namespace

CGI_Header::CGI_Header(const char* request, const API_VersionHandler& versions)
    : m_apiVersion(versions.getHighestSupportedVersion().text()) {
    const JsonAutoPtr document(JsonParser::decode(request));
    if (!document) {
        m_status = STATUS_BAD_JSON;
        return;
    }
    m_method = readString(document.get(), "method");
    m_context = readString(document.get(), "context");
    m_requestedVersion = readString(document.get(), "apiVersion");
    const API_Version version(m_requestedVersion);
    if (version.isValid() && !m_method.empty()) {
        if (versions.isSupported(version)) {
            m_apiVersion = versions.getHighestSupportedVersion(version.getMajor()).text();
            m_hasContext = !m_context.empty();
        } else {
            m_status = STATUS_VERSION_NOT_SUPPORTED;
        }
    } else {
        m_status = STATUS_MISSING_PARAMETER;
    }
}

JsonAutoPtr CGI_Header::createResponseHeader() const {
    JsonAutoPtr header(
        json_pack("{s:s, s:s}", "apiVersion", m_apiVersion.c_str(), "method", m_method.c_str()));
    if (!header) {
        return header;
    }
    const std::string& context = m_hasContext ? m_context : std::string();
    if (json_object_set_new(header.get(), "context", json_string(context.c_str())) != 0) {
        return JsonAutoPtr();
    }
    if (m_status != STATUS_OK) {
        json_t* error =
            json_pack("{s:s, s:s}", "code", utils::convertStatusToJsonCode(m_status).c_str(),
                      "message", utils::convertStatusToJsonMessage(m_status).c_str());
        if (json_object_set_new(header.get(), "error", error) != 0) {
            return JsonAutoPtr();
        }
    }
    return header;
}

void CGI_Header::logIfRejected(const char* request) const {
    if (m_status == STATUS_OK) {
        return;
    }
    syslog(LOG_WARNING,
           "The request header is not ok.\n  Parsed request: [version: %s, method: %s, context: "
           "%s]\n  Supported version matching request: %s\n  Received request: %s\n",
           m_requestedVersion.c_str(), m_method.c_str(), m_context.c_str(), m_apiVersion.c_str(),
           requestText::forLog(request).c_str());
}
