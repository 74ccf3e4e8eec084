#pragma once

#include <string>
#include <vector>

namespace camlet::testing {

// A fresh platform root for one test: a new temporary directory that
// CAMLET_ROOT names while the object lives, laid out as a camera with the
// application installed (its data folder kPackageDataFolder exists). Removed
// with all its content on destruction, and CAMLET_ROOT is unset again.
class TemporaryRoot {
  public:
    // The folder installing the application package creates for its data.
    static constexpr const char* kPackageDataFolder = "/usr/local/packages/dwellwatch/localdata";

    TemporaryRoot();
    ~TemporaryRoot();
    TemporaryRoot(const TemporaryRoot&) = delete;
    TemporaryRoot& operator=(const TemporaryRoot&) = delete;

    const std::string& path() const { return m_path; }

    // Writes a file at a camera path (for example "/etc/camlet/parameters.conf"),
    // creating its directories.
    void writeFile(const std::string& cameraPath, const std::string& content) const;

    // The content of a file at a camera path; empty when it does not exist.
    std::string readFile(const std::string& cameraPath) const;

    // The complete lines of a file at a camera path. A last line without its
    // newline is left out: a writer appending to the file may be half-way
    // through it.
    std::vector<std::string> readLines(const std::string& cameraPath) const;

  private:
    std::string m_path;
};

}  // namespace camlet::testing
