#pragma once

#include <glib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace utils {

// Wall-clock time of a monotonic time stamp (microseconds), relative to now.
GTimeVal convertMonotonicToUTC_Time(const int64_t* monotonicTime);
// Monotonic time (microseconds) of a wall-clock time, relative to now.
int64_t convertUTC_ToMonotonicTime(const GTimeVal& utcTime);

// The text without leading and trailing characters of the set.
std::string trimString(const std::string& text, const std::string& set);
// The pieces between separators; empty pieces between adjacent separators are
// kept, there is no piece after a final separator and none for the empty text.
std::vector<std::string> splitString(const std::string& text, char separator);
// Non-empty; an optional sign when at least two characters long; then only
// digits with at most one '.'.
bool isNumber(const std::string& text);
// The number of characters of a UTF-8 text (bytes that are not continuation bytes).
size_t lengthInUtf8(const std::string& text);
// Throws std::runtime_error(message) when the condition holds.
void throwIf(bool condition, const std::string& message);
bool isValidCameraRotation(int rotation);
// The directory part of a path.
std::string getDirName(const std::string& path);
// Replaces the file with the text and syncs its directory; logs and returns
// false when either fails.
bool saveAndSyncFile(const char* text, const std::string& path);

}  // namespace utils
