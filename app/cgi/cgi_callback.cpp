#include "cgi/cgi_callback.h"

#include <syslog.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "cgi/cgi_handler.h"
#include "cgi/cgi_responder.h"
#include "cgi/request_text.h"

std::mutex CGI_Callback::s_requestMutex;
bool CGI_Callback::s_accepting = true;

namespace {

// Adds the method's outcome to an answer whose header is OK.
bool appendResult(json_t* answer, std::unique_ptr<CGI_HandlerResult> result) {
    if (!result) {
        const CGI_HandlerResult internal(STATUS_INTERNAL);
        return json_object_set_new(answer, "error",
                                   json_pack("{s:s, s:s}", "code", internal.code().c_str(),
                                             "message", internal.message().c_str())) == 0;
    }
    if (result->status() == STATUS_OK) {
        JsonAutoPtr data = result->takeData();
        json_t* value = data ? data.release() : json_object();
        return json_object_set_new(answer, "data", value) == 0;
    }
    return json_object_set_new(answer, "error",
                               json_pack("{s:s, s:s}", "code", result->code().c_str(), "message",
                                         result->message().c_str())) == 0;
}

std::string serialise(const json_t* answer) {
    if (answer == nullptr) {
        return "";
    }
    const std::unique_ptr<char, decltype(&std::free)> text(
        json_dumps(answer, JSON_COMPACT | JSON_REAL_PRECISION(4)), &std::free);
    return text ? text.get() : "";
}

}  // namespace

void CGI_Callback::handle(const char* /*path*/, const char* /*method*/, const char* request,
                          GHashTable* /*query*/, GOutputStream* output, gpointer userData) {
    const std::lock_guard<std::mutex> lock(s_requestMutex);
    if (!s_accepting || request == nullptr || userData == nullptr) {
        return;
    }
    CGI_Responder::sendResponse(createAnswer(*static_cast<CGI_Handler*>(userData), request),
                                output);
}

void CGI_Callback::shutDown() {
    const std::lock_guard<std::mutex> lock(s_requestMutex);
    s_accepting = false;
}

std::string CGI_Callback::createAnswer(CGI_Handler& handler, const std::string& request) {
    const std::string text = requestText::repair(request);
    std::unique_ptr<CGI_HandlerResult> result = handler.handleRequest(text.c_str());
    const CGI_Header header = handler.extractHeader(text.c_str());
    header.logIfRejected(text.c_str());
    const JsonAutoPtr answer = header.createResponseHeader();
    if (answer && header.status() == STATUS_OK && !appendResult(answer.get(), std::move(result))) {
        syslog(LOG_WARNING, "Could not append handler data to CGI response\n");
    }
    return serialise(answer.get());
}
