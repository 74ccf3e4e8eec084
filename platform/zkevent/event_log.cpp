#include "event_log.h"

#include <fcntl.h>
#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "camlet_root.h"

namespace camlet {

bool EventLog::append(json_t* object) {
    char* text = json_dumps(object, JSON_COMPACT | JSON_PRESERVE_ORDER);
    json_decref(object);
    if (text == nullptr) {
        return false;
    }
    std::string line = text;
    std::free(text);
    line += '\n';

    const std::string path = rootedPath(kPath);
    char* dir = g_path_get_dirname(path.c_str());
    g_mkdir_with_parents(dir, 0755);
    g_free(dir);

    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    ssize_t written;
    do {
        written = write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    close(fd);
    return written == static_cast<ssize_t>(line.size());
}

}  // namespace camlet
