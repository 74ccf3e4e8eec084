#pragma once

#include <jansson.h>

#include <string>

// The file store of configuration documents. Paths are paths of the camera's
// file system. All operations are serialised by one process-wide lock and
// never throw: failures are logged and reported by the return value.
class PersistentConfigHandler {
  public:
    PersistentConfigHandler() = delete;

    // The file's JSON, serialised again with real numbers at precision 4; the
    // empty text when the file is missing or is not JSON.
    static std::string load(const std::string& path);
    // Whether the value, written as save writes it, decodes to the same
    // text again.
    static bool readsBackAsWritten(const json_t* value);
    // Replaces the file with the value (real numbers at precision 4) and syncs
    // its directory. False, and the file untouched, for a null value, a value
    // that would not read back as written, or a failed write.
    static bool save(const json_t* value, const std::string& path);
    // Removes the temporary files "<file name>.XXXXXX" that saves interrupted
    // by a crash left beside the file.
    static void removeStaleTemporaryFiles(const std::string& path);
    // Moves the file, which cannot be loaded, out of the way to path + ".bad"
    // (replacing an older one), so that storing a new document loses nothing.
    // The path it went to; empty when there is no file or it cannot be moved.
    static std::string moveAside(const std::string& path);
    // params.configurationStatus of the stored document; 0 when the file is
    // missing, unreadable or has no such integer.
    static int getConfigurationStatus(const std::string& path);
};
