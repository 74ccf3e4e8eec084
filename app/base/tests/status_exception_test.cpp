#include "base/status_exception.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StatusException, CaughtAsStandardExceptionKeepsMessageAndCode) {
    try {
        throw StatusException("Found profiles with the same uid", STATUS_CONTRADICTION);
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Found profiles with the same uid");
        const auto* status = dynamic_cast<const StatusException*>(&error);
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(status->getStatusCode(), STATUS_CONTRADICTION);
        EXPECT_EQ(static_cast<int>(status->getStatusCode()), 32);
    }
}

}  // namespace
