#include "temporary_root.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace camlet::testing {
namespace {

void removeTree(const std::string& path) {
    if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) &&
        !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
        if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
            while (const char* name = g_dir_read_name(dir)) {
                removeTree(path + "/" + name);
            }
            g_dir_close(dir);
        }
    }
    g_remove(path.c_str());
}

}  // namespace

TemporaryRoot::TemporaryRoot() {
    GError* error = nullptr;
    char* dir = g_dir_make_tmp("camlet-root-XXXXXX", &error);
    if (dir == nullptr) {
        std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("Cannot create a temporary root: " + message);
    }
    m_path = dir;
    g_free(dir);
    g_mkdir_with_parents((m_path + kPackageDataFolder).c_str(), 0755);
    setenv("CAMLET_ROOT", m_path.c_str(), 1);
}

TemporaryRoot::~TemporaryRoot() {
    unsetenv("CAMLET_ROOT");
    removeTree(m_path);
}

void TemporaryRoot::writeFile(const std::string& cameraPath, const std::string& content) const {
    const std::string path = m_path + cameraPath;
    char* dir = g_path_get_dirname(path.c_str());
    g_mkdir_with_parents(dir, 0755);
    g_free(dir);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

std::string TemporaryRoot::readFile(const std::string& cameraPath) const {
    std::ifstream in(m_path + cameraPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> TemporaryRoot::readLines(const std::string& cameraPath) const {
    const std::string content = readFile(cameraPath);
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = content.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(content.substr(start, end - start));
    }
    return lines;
}

}  // namespace camlet::testing
