#include "utils.h"

#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <stdexcept>

namespace utils {

GTimeVal convertMonotonicToUTC_Time(const int64_t* monotonicTime) {
    const int64_t utc = g_get_real_time() + (*monotonicTime - g_get_monotonic_time());
    GTimeVal time;
    time.tv_sec = static_cast<glong>(utc / G_USEC_PER_SEC);
    time.tv_usec = static_cast<glong>(utc % G_USEC_PER_SEC);
    if (time.tv_usec < 0) {
        time.tv_sec -= 1;
        time.tv_usec += G_USEC_PER_SEC;
    }
    return time;
}

int64_t convertUTC_ToMonotonicTime(const GTimeVal& utcTime) {
    const int64_t utc = static_cast<int64_t>(utcTime.tv_sec) * G_USEC_PER_SEC + utcTime.tv_usec;
    return g_get_monotonic_time() - (g_get_real_time() - utc);
}

std::string trimString(const std::string& text, const std::string& set) {
    const auto first = text.find_first_not_of(set);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(set);
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitString(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find(separator, start);
        if (end == std::string::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool isNumber(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    size_t i = 0;
    if (text.size() >= 2 && (text[0] == '+' || text[0] == '-')) {
        i = 1;
    }
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        if (text[i] == '.') {
            if (seenPoint) {
                return false;
            }
            seenPoint = true;
        } else if (!g_ascii_isdigit(text[i])) {
            return false;
        }
    }
    return true;
}

size_t lengthInUtf8(const std::string& text) {
    size_t length = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || byte > 0xBF) {
            ++length;
        }
    }
    return length;
}

void throwIf(bool condition, const std::string& message) {
    if (condition) {
        throw std::runtime_error(message);
    }
}

bool isValidCameraRotation(int rotation) {
    return rotation == 0 || rotation == 90 || rotation == 180 || rotation == 270;
}

std::string getDirName(const std::string& path) {
    char* dir = g_path_get_dirname(path.c_str());
    std::string result = dir;
    g_free(dir);
    return result;
}

bool saveAndSyncFile(const char* text, const std::string& path) {
    GError* error = nullptr;
    // g_file_set_contents writes a temporary file and renames it over the old one.
    if (!g_file_set_contents(path.c_str(), text, -1, &error)) {
        syslog(LOG_WARNING, "%s",
               ("Could not write file " + path + " : " + error->message).c_str());
        g_error_free(error);
        return false;
    }
    // Until its directory is synced, the rename may be lost with the power.
    const int dir = open(getDirName(path).c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = dir >= 0 && fsync(dir) == 0;
    const std::string reason = synced ? "" : g_strerror(errno);
    if (dir >= 0) {
        close(dir);
    }
    if (!synced) {
        syslog(
            LOG_WARNING, "%s",
            ("Could not write file " + path + " : its folder was not synced: " + reason).c_str());
    }
    return synced;
}

}  // namespace utils
