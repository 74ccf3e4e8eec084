#include "base/retry_log.h"

#include <gtest/gtest.h>
#include <syslog.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int64_t kSecond = 1000000;

// The lines the system log copies to standard error while the test runs.
class RetryLogTest : public ::testing::Test {
  protected:
    RetryLogTest() {
        openlog("retry_log_test", LOG_PERROR, LOG_USER);
        testing::internal::CaptureStderr();
    }
    ~RetryLogTest() override {
        if (!m_taken) {
            testing::internal::GetCapturedStderr();
        }
        closelog();
    }

    std::vector<std::string> loggedLines() {
        m_taken = true;
        std::istringstream stream(testing::internal::GetCapturedStderr());
        std::vector<std::string> lines;
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    int64_t m_now = 0;
    RetryLog m_retryLog{"Scene data of camera 1", [this] { return m_now; }};

  private:
    bool m_taken = false;
};

bool failWithTwoLines() {
    logMessage(LOG_WARNING, "Could not read scene.\n");
    logMessage(LOG_ERR, "Could not connect to service, result: %i\n\n", -1);
    return false;
}

TEST_F(RetryLogTest, ATenMinuteOutageLogsItsFirstFailureOnceAMinuteAndItsEnd) {
    for (; m_now < 600 * kSecond; m_now += kSecond / 10) {
        ASSERT_FALSE(m_retryLog.attempt(failWithTwoLines));
    }
    m_now += kSecond / 10;
    EXPECT_TRUE(m_retryLog.attempt([] { return true; }));

    const std::vector<std::string> lines = loggedLines();
    // The first failure, nine reports a minute apart (blank lines included),
    // and the end of the series.
    ASSERT_EQ(lines.size(), 3u + 9 * 3 + 1) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find("Could not read scene."), std::string::npos);
    EXPECT_NE(lines[1].find("Could not connect to service, result: -1"), std::string::npos);
    EXPECT_NE(lines[3].find("Could not read scene. (failed 600 times in the last 60 s)"),
              std::string::npos);
    EXPECT_NE(lines[4].find("result: -1 (failed 600 times in the last 60 s)"), std::string::npos);
    EXPECT_NE(lines.back().find("Scene data of camera 1 available again after 600 s"),
              std::string::npos);
}

TEST_F(RetryLogTest, LinesOutsideFailedAttemptsAreLoggedAsTheyCome) {
    logMessage(LOG_INFO, "before %d\n", 1);
    EXPECT_TRUE(m_retryLog.attempt([] {
        logMessage(LOG_INFO, "during a success\n");
        return true;
    }));
    ASSERT_FALSE(m_retryLog.attempt(failWithTwoLines));
    m_now += kSecond;
    ASSERT_FALSE(m_retryLog.attempt(failWithTwoLines));  // held back
    EXPECT_TRUE(m_retryLog.attempt([] { return true; }));
    // A new outage is reported again at once.
    ASSERT_FALSE(m_retryLog.attempt(failWithTwoLines));

    const std::vector<std::string> lines = loggedLines();
    ASSERT_EQ(lines.size(), 2u + 3 + 1 + 3) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find("before 1"), std::string::npos);
    EXPECT_NE(lines[1].find("during a success"), std::string::npos);
    EXPECT_NE(lines[5].find("available again after 1 s"), std::string::npos);
    EXPECT_NE(lines[6].find("Could not read scene."), std::string::npos);
}

}  // namespace
