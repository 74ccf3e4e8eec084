#include "cgi/cgi_handler_result.h"

#include <utility>

#include "cgi/status_mapping.h"

CGI_HandlerResult::CGI_HandlerResult(StatusCode_e status, JsonAutoPtr data)
    : m_data(std::move(data)),
      m_status(status),
      m_code(utils::convertStatusToJsonCode(status)),
      m_message(utils::convertStatusToJsonMessage(status)) {}
