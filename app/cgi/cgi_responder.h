#pragma once

#include <gio/gio.h>

#include <string>

// Writes an API answer in CGI form: a JSON content type, status 200 and the body.
class CGI_Responder {
  public:
    CGI_Responder() = delete;

    // False (and a logged warning) when the stream refuses the answer.
    static bool sendResponse(const std::string& body, GOutputStream* output);
};
