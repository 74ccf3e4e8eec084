#include "svg/svg_doc.h"

#include <gtest/gtest.h>

namespace {

const char* const kOpening =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" baseProfile=\"full\" \n"
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" \n"
    "width=\"100%\" height=\"100%\" \n"
    "viewBox=\"-1 -1 2 2\" \n"
    "preserveAspectRatio=\"none\" >\n";

TEST(SvgDoc, WritesTheOpeningElementTheGroupHeaderThePartsAndTheClosing) {
    SvgDoc doc("<g>", "<a/>");
    doc += "<b/>";
    EXPECT_FALSE(doc.isEmpty());
    EXPECT_EQ(doc.toString(), std::string(kOpening) + "<g><a/><b/></g></svg>");
}

TEST(SvgDoc, WithoutPartsIsTheEmptyPicture) {
    SvgDoc doc("<g>", "");
    doc += "";
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ(doc.toString(), "<svg><desc></desc></svg>");
    EXPECT_EQ(SvgDoc().toString(), "<svg><desc></desc></svg>");

    doc += "<a/>";  // the first part may also come later
    EXPECT_EQ(doc.toString(), std::string(kOpening) + "<g><a/></g></svg>");
}

}  // namespace
