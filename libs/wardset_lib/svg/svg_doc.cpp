#include "svg/svg_doc.h"

namespace {

// The document element, one attribute group per line.
const char* const kOpeningElement =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" baseProfile=\"full\" \n"
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" \n"
    "width=\"100%\" height=\"100%\" \n"
    "viewBox=\"-1 -1 2 2\" \n"
    "preserveAspectRatio=\"none\" >\n";

}  // namespace

const char* const SvgDoc::kEmptyDocument = "<svg><desc></desc></svg>";

SvgDoc::SvgDoc(const std::string& groupHeader, const std::string& firstPart)
    : m_header(kOpeningElement + groupHeader) {
    *this += firstPart;
}

SvgDoc& SvgDoc::operator+=(const std::string& part) {
    if (!part.empty()) {
        m_parts.push_back(part);
    }
    return *this;
}

std::string SvgDoc::toString() const {
    if (m_parts.empty()) {
        return kEmptyDocument;
    }
    std::string text = m_header;
    for (const std::string& part : m_parts) {
        text += part;
    }
    return text + "</g></svg>";
}
