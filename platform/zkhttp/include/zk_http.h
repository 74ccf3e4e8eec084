#pragma once

#include <gio/gio.h>
#include <glib.h>

G_BEGIN_DECLS

// The CGI entry of the platform's web server. The product registers one request
// callback; each POST to the application's CGI path is handed to it, and what
// it writes (CGI output) becomes the HTTP answer.
typedef struct _ZKHttpHandler ZKHttpHandler;

// Called once per accepted request, on the thread that runs the platform's main
// loop, one request at a time.
//
//   path       the request path, "/local/dwellwatch/control.cgi"
//   method     the request method, "POST"
//   request    the request body as a NUL-terminated text of exactly the bytes
//              received (not checked for UTF-8; never NULL, "" for an empty body)
//   query      the decoded query parameters of the URL (name -> value, both
//              char*); empty when the URL has none; owned by the library
//   output     where the answer goes, in CGI form: header lines ending in
//              "\r\n" (or "\n"), a blank line, then the body. "Status: 404 Not
//              Found" sets the HTTP status (200 when absent), "Content-Type:
//              ..." the content type; other header lines are passed on, except
//              those of the transfer itself (Content-Length, Transfer-Encoding).
//              Every answer closes its connection ("Connection: close"); a
//              "Connection" line asking for anything else is logged as a
//              warning. Output without a complete header block, or with a
//              malformed status, is answered with 500. The stream may be
//              closed by the callback; it is owned by the library.
//   user_data  as given to zk_http_handler_new
//
// Requests are refused before the callback is called: another path with 404,
// another method on the CGI path with 405, a body of more than 1 MiB with 413
// (such a body is never held in memory; a client that asks for the go-ahead
// with "Expect: 100-continue" is answered before it sends it), and a body
// containing a NUL byte, which a text cannot carry, with 400.
typedef void (*ZKHttpRequestCallback)(const char* path, const char* method, const char* request,
                                      GHashTable* query, GOutputStream* output, gpointer user_data);

// Starts serving the CGI entry and returns its handle; NULL (and a logged
// warning) when the port cannot be used. On the host the entry is
// POST http://127.0.0.1:PORT/local/dwellwatch/control.cgi with PORT from the
// environment variable CAMLET_HTTP_PORT (unset or empty: 8080). Requests are
// served by the default GLib main context, which mainloop_start runs.
ZKHttpHandler* zk_http_handler_new(ZKHttpRequestCallback callback, gpointer user_data);

// Stops serving: closes the listening socket and all open connections. May be
// called from any thread but not from inside the request callback; once it
// returns, the callback is not called again (a request being handled when it
// is called completes first). NULL is ignored.
void zk_http_handler_free(ZKHttpHandler* handler);

G_END_DECLS
