#include "pictor/datatype.h"

#include <cstring>
#include <stdexcept>

namespace Pictor {

namespace {

constexpr const char kPrefix[] = "/prefix/well-known.";

// Whether text is a valid list of signature letters.
bool is_signature(const std::string& text) {
    int depth = 0;
    char previous = '\0';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'a') {
            if (i + 1 >= text.size() || text[i + 1] != '(') {
                return false;
            }
        } else if (c == '(') {
            if (previous != 'a') {
                return false;
            }
            ++depth;
        } else if (c == ')') {
            if (depth == 0 || previous == '(') {
                return false;
            }
            --depth;
        } else if (std::strchr("fibs", c) == nullptr) {
            return false;
        }
        previous = c;
    }
    return depth == 0;
}

}  // namespace

Datatype::Datatype(std::string name) : m_name(std::move(name)) {
    const std::size_t prefix_length = sizeof(kPrefix) - 1;
    const std::size_t slash = m_name.find('/', prefix_length);
    const bool valid = m_name.compare(0, prefix_length, kPrefix) == 0 &&
                       slash != std::string::npos && slash + 1 < m_name.size() &&
                       m_name.find('/', slash + 1) == std::string::npos &&
                       is_signature(m_name.substr(prefix_length, slash - prefix_length));
    if (!valid) {
        throw std::invalid_argument("not a datatype name (/prefix/well-known.SIG/NAME): " + m_name);
    }
}

std::string Datatype::signature() const {
    const std::size_t prefix_length = sizeof(kPrefix) - 1;
    return m_name.substr(prefix_length, m_name.find('/', prefix_length) - prefix_length);
}

}  // namespace Pictor
