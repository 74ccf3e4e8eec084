#include "cgi/cgi_responder.h"

#include <syslog.h>

bool CGI_Responder::sendResponse(const std::string& body, GOutputStream* output) {
    GDataOutputStream* stream = g_data_output_stream_new(output);
    g_filter_output_stream_set_close_base_stream(G_FILTER_OUTPUT_STREAM(stream), FALSE);
    GError* error = nullptr;
    const bool sent =
        g_data_output_stream_put_string(stream, "Content-Type: application/json\r\n", nullptr,
                                        &error) &&
        g_data_output_stream_put_string(stream, "Status: 200 OK\r\n\r\n", nullptr, &error) &&
        g_output_stream_write_all(G_OUTPUT_STREAM(stream), body.data(), body.size(), nullptr,
                                  nullptr, &error) &&
        g_output_stream_flush(G_OUTPUT_STREAM(stream), nullptr, &error);
    if (!sent) {
        syslog(LOG_WARNING, "Could not send the CGI response: %s\n",
               error != nullptr ? error->message : "unknown error");
        g_clear_error(&error);
    }
    g_object_unref(stream);
    return sent;
}
