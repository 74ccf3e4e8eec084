#pragma once

#include <string>

// A "major.minor" version of an interface. -1 in major or minor marks an
// invalid version; the default-constructed one is invalid with an empty text.
class API_Version {
  public:
    API_Version() = default;
    explicit API_Version(const std::string& text);

    bool isValid() const { return m_major != -1 && m_minor != -1; }
    int getMajor() const { return m_major; }
    int getMinor() const { return m_minor; }
    // The text as given.
    const std::string& text() const { return m_text; }

    // False when this version is invalid.
    bool operator==(const API_Version& other) const;
    bool operator<(const API_Version& other) const;
    // For an invalid version the same as operator<.
    bool operator<=(const API_Version& other) const;

  private:
    int m_major = -1;
    int m_minor = -1;
    std::string m_text;
};

// Reads "major.minor"; logs and leaves both at -1 for any other text.
void convertVersionStrToInts(const std::string& text, int& major, int& minor);
