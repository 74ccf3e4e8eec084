#pragma once

#include <map>
#include <string>
#include <vector>

#include "temporary_root.h"

// Test view of the platform's event log: every declaration, send and
// undeclaration as one line that names the event instead of its declaration
// id. Generic events are named by their topic 2 value, ONVIF motion alarms
// "MotionAlarm:" + source:
//   "declare Camera1Profile3"
//   "send Camera1Profile3 1"          (stateful events: the "active" value)
//   "send MotionAlarm:0 1"            (ONVIF: the "State" value)
//   "send Camera1MotionLevel 25.0000" (data events: the data value)
//   "undeclare Camera1Profile3"
namespace eventlog {

std::vector<std::string> read(const camlet::testing::TemporaryRoot& root);
// Only the lines of one operation ("declare", "send" or "undeclare").
std::vector<std::string> read(const camlet::testing::TemporaryRoot& root, const std::string& op);
// Nice name of every declared generic event by name.
std::map<std::string, std::string> niceNames(const camlet::testing::TemporaryRoot& root);
// Reads the log until it has at least count lines or a second has passed.
std::vector<std::string> waitForLines(const camlet::testing::TemporaryRoot& root, size_t count);

}  // namespace eventlog
