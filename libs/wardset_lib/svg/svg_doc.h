#pragma once

#include <string>
#include <vector>

// One SVG picture of a frame: the fixed opening element and the guard's
// group header (which carries the viewer's transform), then the drawn parts.
// A document without parts is written as the empty picture.
class SvgDoc {
  public:
    // Empty header and no parts.
    SvgDoc() = default;
    // firstPart is added unless empty.
    SvgDoc(const std::string& groupHeader, const std::string& firstPart);

    // Appends the part unless it is empty.
    SvgDoc& operator+=(const std::string& part);

    bool isEmpty() const { return m_parts.empty(); }
    // "<svg><desc></desc></svg>" without parts; otherwise the header, the
    // parts in order and the closing "</g></svg>".
    std::string toString() const;

    // The picture of a document without parts.
    static const char* const kEmptyDocument;

  private:
    std::string m_header;
    std::vector<std::string> m_parts;
};
