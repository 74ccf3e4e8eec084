#pragma once

#include <gtest/gtest.h>
#include <jansson.h>

#include <string>

#include "temporary_root.h"

// What the configuration tests share: the device a test program runs on and
// a view of the system log.
namespace configtest {

// Device parameters. Device facts are read once per process, so each test
// program runs on one device.
extern const char* const kSingleChannelDevice;  // 16:9 image, overlay resolutions offered
extern const char* const kTwoChannelDevice;     // product "Tm303"
extern const char* const kMechanicalPtzDevice;

// The directory of the configuration file; exists in the test root.
extern const char* const kConfigurationDirectory;

// Runs the test program on the device: a platform root with its parameters,
// the platform wrapper and the interval timer, for the whole program. Use in
// a namespace-scope initializer in every test file; false when the program
// already runs on another device.
bool runOnDevice(const char* parameters);
const camlet::testing::TemporaryRoot& root();

// The value as API answers carry it: compact, real numbers with 4
// significant digits.
std::string answerText(const json_t* value);

// What the code under test writes to the system log while the object lives.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged so far; ends the capture.
    std::string take();

  private:
    bool m_taken = false;
};

}  // namespace configtest
