#include "svg/svg_transform.h"

#include <gtest/gtest.h>
#include <syslog.h>

#include <string>

namespace {

// What the system log receives during one call, copied to stderr.
template <typename Call>
std::string loggedDuring(Call call) {
    openlog("svg_test", LOG_PERROR, LOG_USER);
    testing::internal::CaptureStderr();
    call();
    const std::string logged = testing::internal::GetCapturedStderr();
    closelog();
    return logged;
}

const char* const kFlipOnly = "<g transform=\"matrix(1 0 0 -1 0 0)\" >";

TEST(SvgTransform, TheIdentityAddsItselfAfterTheFlip) {
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(createSVGTransform(identity, 9),
              "<g transform=\"matrix(1 0 0 -1 0 0) matrix(1.0000 0.0000 0.0000 1.0000 0.0000 "
              "0.0000 )\" >");
}

TEST(SvgTransform, WritesTheInverseInColumnOrder) {
    // x' = 2x + 1, y' = 4y - 2: the inverse is x = 0.5x' - 0.5, y = 0.25y' + 0.5.
    const double scaleAndShift[9] = {2, 0, 1, 0, 4, -2, 0, 0, 1};
    EXPECT_EQ(createSVGTransform(scaleAndShift, 9),
              "<g transform=\"matrix(1 0 0 -1 0 0) matrix(0.5000 0.0000 0.0000 0.2500 -0.5000 "
              "0.5000 )\" >");
    // A shear keeps the off-diagonal terms apart: x' = x + 2y.
    const double shear[9] = {1, 2, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(createSVGTransform(shear, 9),
              "<g transform=\"matrix(1 0 0 -1 0 0) matrix(1.0000 0.0000 -2.0000 1.0000 0.0000 "
              "0.0000 )\" >");
}

TEST(SvgTransform, ASingularMatrixLeavesTheFlipAloneWithAWarning) {
    const double zeros[9] = {};
    std::string group;
    EXPECT_NE(loggedDuring([&] {
                  group = createSVGTransform(zeros, 9);
              }).find("The TransformationMatrix must be invertible.\n"),
              std::string::npos);
    EXPECT_EQ(group, kFlipOnly);

    const double nearlySingular[9] = {1e-2, 0, 0, 0, 1e-2, 0, 0, 0, 1e-2};  // det 1e-6
    EXPECT_EQ(createSVGTransform(nearlySingular, 9), kFlipOnly);
}

TEST(SvgTransform, AMissingMatrixOrAWrongCountLeavesTheFlipAloneWithAWarning) {
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::string wrongCount;
    std::string missing;
    const std::string logged = loggedDuring([&] {
        wrongCount = createSVGTransform(identity, 8);
        missing = createSVGTransform(nullptr, 9);
    });
    EXPECT_EQ(wrongCount, kFlipOnly);
    EXPECT_EQ(missing, kFlipOnly);
    const std::string warning = "The Matrix needs 9 data values to be created.\n";
    const size_t first = logged.find(warning);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(logged.find(warning, first + 1), std::string::npos);
}

}  // namespace
