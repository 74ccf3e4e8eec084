#pragma once

#include <string>

#include "base/api_version_handler.h"
#include "base/status_exception.h"
#include "config/json_auto_ptr.h"

// The envelope of one API request: which method at which version, and the
// header every answer repeats.
class CGI_Header {
  public:
    // Reads the request's method, context and apiVersion; status() tells
    // whether the request may be handed to a method. Never throws.
    CGI_Header(const char* request, const API_VersionHandler& versions);

    const std::string& method() const { return m_method; }
    const std::string& context() const { return m_context; }
    // The version the answer carries.
    const std::string& apiVersion() const { return m_apiVersion; }
    bool hasContext() const { return m_hasContext; }
    StatusCode_e status() const { return m_status; }

    // {apiVersion, method, context} and, when the header is not OK, error.
    // Null when a JSON value cannot be made.
    JsonAutoPtr createResponseHeader() const;

    // Logs a header that is not OK, with the request it was read from.
    void logIfRejected(const char* request) const;

  private:
    std::string m_requestedVersion;
    std::string m_method;
    std::string m_context;
    std::string m_apiVersion;
    bool m_hasContext = false;
    StatusCode_e m_status = STATUS_OK;
};
