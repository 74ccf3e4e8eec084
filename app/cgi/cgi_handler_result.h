#pragma once

#include <string>

#include "base/status_exception.h"
#include "config/json_auto_ptr.h"

// The outcome of one API method: the answer's data (null: answered as {}) or
// the status with its error code and message.
class CGI_HandlerResult {
  public:
    CGI_HandlerResult() : CGI_HandlerResult(STATUS_OK) {}
    explicit CGI_HandlerResult(StatusCode_e status, JsonAutoPtr data = JsonAutoPtr());

    const json_t* data() const { return m_data.get(); }
    // Gives up the data; the result keeps null.
    JsonAutoPtr takeData() { return std::move(m_data); }
    StatusCode_e status() const { return m_status; }
    const std::string& code() const { return m_code; }
    const std::string& message() const { return m_message; }

  private:
    JsonAutoPtr m_data;
    StatusCode_e m_status;
    std::string m_code;
    std::string m_message;
};
