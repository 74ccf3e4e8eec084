#include "svg/svg_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// Anchor (1024, 2048), length 2048, thickness 512, offset 512: in SVG
// units 0.25, 0.5, 0.5, 0.125 and 0.125.
std::string quarterBar(int rotation, double fraction = 0.25) {
    return SVG_Utils::createProgressBar(Point{1024, 2048}, 2048, 512, fraction, rotation, 512);
}

TEST(SvgProgressBar, LiesAlongTheViewedXAxisOfEachRotation) {
    EXPECT_EQ(quarterBar(0),
              "<rect width=\"0.500\" height=\"0.125\" x=\"0.250\" y=\"0.375\" fill=\"darkblue\"/>"
              "<rect width=\"0.125\" height=\"0.125\" x=\"0.250\" y=\"0.375\"  fill=\"red\"/>");
    EXPECT_EQ(quarterBar(90),
              "<rect width=\"0.125\" height=\"0.500\" x=\"0.375\" y=\"0.500\" fill=\"darkblue\"/>"
              "<rect width=\"0.125\" height=\"0.125\" x=\"0.375\" y=\"0.500\" fill=\"red\"/>");
    // Upside down and at 270 degrees the bar fills from its far end.
    EXPECT_EQ(quarterBar(180),
              "<rect width=\"0.500\" height=\"0.125\" x=\"-0.250\" y=\"0.625\" fill=\"darkblue\"/>"
              "<rect width=\"0.125\" height=\"0.125\" x=\"0.125\" y=\"0.625\"  fill=\"red\"/>");
    EXPECT_EQ(quarterBar(270),
              "<rect width=\"0.125\" height=\"0.500\" x=\"0.125\" y=\"0.000\" fill=\"darkblue\"/>"
              "<rect width=\"0.125\" height=\"0.125\" x=\"0.125\" y=\"0.375\" fill=\"red\"/>");
}

TEST(SvgProgressBar, IsFullFromFractionOneOnAndEmptyBelowZero) {
    EXPECT_EQ(quarterBar(0, 1.7), quarterBar(0, 1.0));
    EXPECT_NE(quarterBar(0, 1.0).find("<rect width=\"0.500\" height=\"0.125\" x=\"0.250\" "
                                      "y=\"0.375\"  fill=\"red\"/>"),
              std::string::npos);
    EXPECT_EQ(quarterBar(180, 1.7),
              "<rect width=\"0.500\" height=\"0.125\" x=\"-0.250\" y=\"0.625\" fill=\"darkblue\"/>"
              "<rect width=\"0.500\" height=\"0.125\" x=\"-0.250\" y=\"0.625\"  fill=\"red\"/>");
    EXPECT_EQ(quarterBar(0, -0.5), quarterBar(0, 0.0));
    EXPECT_EQ(quarterBar(0, std::nan("")), quarterBar(0, 0.0));  // a zero threshold
}

TEST(SvgProgressBar, OtherRotationsDrawNothing) {
    EXPECT_EQ(quarterBar(45), "");
    EXPECT_EQ(quarterBar(-90), "");
}

TEST(SvgStyles, AlarmObjectsAndTheAreaAreRedOtherObjectsGreen) {
    EXPECT_EQ(SVG_Utils::alarmStyle(),
              "fill:#FF0000;fill-opacity:0.200000;stroke:#FF0000;stroke-width:0.005000;");
    EXPECT_EQ(SVG_Utils::noAlarmStyle(),
              "fill:#00FF00;fill-opacity:0.200000;stroke:#00FF00;stroke-width:0.005000;");
    EXPECT_EQ(SVG_Utils::loiteringAreaStyle(), SVG_Utils::alarmStyle());
}

}  // namespace
