#include "persistent_config_handler.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <syslog.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "camlet_root.h"
#include "utils.h"

namespace {

constexpr size_t kDumpFlags = JSON_REAL_PRECISION(4);

// Serialises every access to the stored files.
std::mutex g_fileMutex;
using FileLock = std::lock_guard<std::mutex>;

struct JsonDecref {
    void operator()(json_t* value) const { json_decref(value); }
};
using JsonValue = std::unique_ptr<json_t, JsonDecref>;

struct FreeText {
    void operator()(char* text) const { std::free(text); }
};
using DumpedText = std::unique_ptr<char, FreeText>;

// With the lock held: the file's JSON, or null when it is missing or invalid.
JsonValue loadFile(const std::string& path, bool logFailure) {
    const std::string hostPath = camlet::rootedPath(path);
    if (!g_file_test(hostPath.c_str(), G_FILE_TEST_EXISTS)) {
        return nullptr;
    }
    JsonValue value(json_load_file(hostPath.c_str(), 0, nullptr));
    if (!value && logFailure) {
        syslog(LOG_WARNING, "Failed to read from file %s\n", path.c_str());
    }
    return value;
}

// A name g_file_set_contents gives its temporary file: the file's name, a
// dot and six letters or digits.
bool isTemporaryName(const std::string& name, const std::string& prefix) {
    constexpr size_t kRandomPart = 6;
    return name.size() == prefix.size() + kRandomPart &&
           name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return g_ascii_isalnum(c); });
}

// The value's text as it is stored, or null when it cannot be serialised or
// would not read back as written: at four significant digits a number near
// the largest double rounds past it, and the file would no longer decode.
DumpedText storedText(const json_t* value) {
    DumpedText text(value != nullptr ? json_dumps(value, kDumpFlags) : nullptr);
    if (!text) {
        return nullptr;
    }
    const JsonValue readBack(json_loads(text.get(), 0, nullptr));
    const DumpedText again(readBack ? json_dumps(readBack.get(), kDumpFlags) : nullptr);
    if (!again || std::strcmp(again.get(), text.get()) != 0) {
        return nullptr;
    }
    return text;
}

}  // namespace

std::string PersistentConfigHandler::load(const std::string& path) {
    const FileLock lock(g_fileMutex);
    const JsonValue value = loadFile(path, true);
    if (!value) {
        return "";
    }
    const DumpedText text(json_dumps(value.get(), kDumpFlags));
    return text ? text.get() : "";
}

bool PersistentConfigHandler::readsBackAsWritten(const json_t* value) {
    return storedText(value) != nullptr;
}

bool PersistentConfigHandler::save(const json_t* value, const std::string& path) {
    const FileLock lock(g_fileMutex);
    const DumpedText text = storedText(value);
    if (!text) {
        syslog(LOG_WARNING, "Failed to write to file %s\n", path.c_str());
        return false;
    }
    return utils::saveAndSyncFile(text.get(), camlet::rootedPath(path));
}

void PersistentConfigHandler::removeStaleTemporaryFiles(const std::string& path) {
    const FileLock lock(g_fileMutex);
    const std::string hostPath = camlet::rootedPath(path);
    const std::string folder = utils::getDirName(hostPath);
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (dir == nullptr) {
        return;
    }
    char* name = g_path_get_basename(hostPath.c_str());
    const std::string prefix = std::string(name) + ".";
    g_free(name);
    while (const char* entry = g_dir_read_name(dir)) {
        if (isTemporaryName(entry, prefix) && g_remove((folder + "/" + entry).c_str()) == 0) {
            syslog(LOG_INFO, "Removed %s, left by an interrupted save\n", entry);
        }
    }
    g_dir_close(dir);
}

std::string PersistentConfigHandler::moveAside(const std::string& path) {
    const FileLock lock(g_fileMutex);
    const std::string hostPath = camlet::rootedPath(path);
    if (!g_file_test(hostPath.c_str(), G_FILE_TEST_EXISTS)) {
        return "";
    }
    const std::string keptPath = path + ".bad";
    if (g_rename(hostPath.c_str(), camlet::rootedPath(keptPath).c_str()) != 0) {
        syslog(LOG_WARNING, "Could not move %s to %s: %s\n", path.c_str(), keptPath.c_str(),
               g_strerror(errno));
        return "";
    }
    return keptPath;
}

int PersistentConfigHandler::getConfigurationStatus(const std::string& path) {
    const FileLock lock(g_fileMutex);
    const JsonValue document = loadFile(path, false);
    const json_t* params = json_object_get(document.get(), "params");
    const json_t* status = json_object_get(params, "configurationStatus");
    return json_is_integer(status) ? static_cast<int>(json_integer_value(status)) : 0;
}
