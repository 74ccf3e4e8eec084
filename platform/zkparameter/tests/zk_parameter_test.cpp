#include "zk_parameter.h"

#include <gtest/gtest.h>

#include "parameter_file.h"
#include "temporary_root.h"

namespace {

TEST(ParameterFile, TrimsBlanksSkipsCommentsAndLetLaterLinesWin) {
    const auto file = camlet::ParameterFile::parse(
        "# device facts\n"
        "  root.Brand.ProdNbr =  CL-1234  # trailing comment\n"
        "root.Properties.PTZ.PTZ=yes\r\n"
        "not a parameter line\n"
        "=value without a name\n"
        "root.Image.Empty=\n"
        "root.Properties.PTZ.PTZ=no\n");
    EXPECT_EQ(file.find("root.Brand.ProdNbr"), "CL-1234");
    EXPECT_EQ(file.find("root.Properties.PTZ.PTZ"), "no");
    EXPECT_EQ(file.find("root.Image.Empty"), "");
    EXPECT_FALSE(file.find("not a parameter line").has_value());
    EXPECT_FALSE(file.find("").has_value());
}

TEST(ZkParameter, ReadsTheFileUnderTheRootAndFailsForAbsentNames) {
    camlet::testing::TemporaryRoot root;
    root.writeFile(camlet::ParameterFile::kPath,
                   "root.Properties.EmbeddedDevelopment.Version=2.16\n");

    GError* error = nullptr;
    ZKParameter* handler = zk_parameter_new("DwellwatchGuard", &error);
    ASSERT_NE(handler, nullptr);

    char* value = nullptr;
    ASSERT_TRUE(
        zk_parameter_get(handler, "root.Properties.EmbeddedDevelopment.Version", &value, &error));
    EXPECT_STREQ(value, "2.16");
    g_free(value);

    value = nullptr;
    EXPECT_FALSE(zk_parameter_get(handler, "root.Brand.ProdNbr", &value, &error));
    EXPECT_EQ(value, nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(g_error_matches(error, ZK_PARAMETER_ERROR, ZK_PARAMETER_ERROR_NOT_FOUND));
    g_clear_error(&error);

    // Changes to the file are seen by the next read.
    root.writeFile(camlet::ParameterFile::kPath, "root.Brand.ProdNbr=CL-1\n");
    ASSERT_TRUE(zk_parameter_get(handler, "root.Brand.ProdNbr", &value, nullptr));
    EXPECT_STREQ(value, "CL-1");
    g_free(value);
    zk_parameter_free(handler);
}

TEST(ZkParameter, MissingFileMeansNoParametersAndNamelessHandlersAreRefused) {
    camlet::testing::TemporaryRoot root;
    ZKParameter* handler = zk_parameter_new("app", nullptr);
    char* value = nullptr;
    EXPECT_FALSE(zk_parameter_get(handler, "root.Brand.ProdNbr", &value, nullptr));
    zk_parameter_free(handler);

    GError* error = nullptr;
    EXPECT_EQ(zk_parameter_new("", &error), nullptr);
    EXPECT_NE(error, nullptr);
    g_clear_error(&error);
}

}  // namespace
