#pragma once

#include <gio/gio.h>
#include <glib.h>

#include <mutex>
#include <string>

class CGI_Handler;

// The entry of the platform's HTTP library. Whole requests are serialised by
// one process-wide mutex; once shutDown() has returned, no request is
// answered any more.
class CGI_Callback {
  public:
    CGI_Callback() = delete;

    // The library's request callback: request is the JSON text, userData the
    // CGI_Handler; the other arguments are not used.
    static void handle(const char* path, const char* method, const char* request, GHashTable* query,
                       GOutputStream* output, gpointer userData);
    // Stops accepting requests; waits for a request in progress.
    static void shutDown();

    // The answer body to a request: the envelope with the method's data or
    // the error, compact, real numbers at precision 4; empty when it cannot
    // be serialised. Call under the request mutex (handle does).
    static std::string createAnswer(CGI_Handler& handler, const std::string& request);

  private:
    static std::mutex s_requestMutex;
    static bool s_accepting;
};
