#include "listen_port.h"

#include <glib.h>

namespace camlet {

std::optional<uint16_t> parseHttpPort(const char* text) {
    if (text == nullptr || *text == '\0') {
        return kDefaultHttpPort;
    }
    guint64 port = 0;
    if (!g_ascii_string_to_unsigned(text, 10, 1, G_MAXUINT16, &port, nullptr)) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

}  // namespace camlet
