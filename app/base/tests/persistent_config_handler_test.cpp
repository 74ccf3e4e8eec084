#include "base/persistent_config_handler.h"

#include <gtest/gtest.h>
#include <jansson.h>

#include <string>

#include "temporary_root.h"

namespace {

const std::string kConfigPath = "/usr/local/packages/dwellwatch/localdata/config.json";

class PersistentConfigHandlerTest : public ::testing::Test {
  protected:
    // Writes the file through the root so that its directory exists.
    void store(const std::string& text) const { root.writeFile(kConfigPath, text); }

    camlet::testing::TemporaryRoot root;
};

TEST_F(PersistentConfigHandlerTest, LoadGivesTheEmptyTextForMissingOrInvalidFiles) {
    EXPECT_EQ(PersistentConfigHandler::load(kConfigPath), "");
    store("{\"params\": ");
    EXPECT_EQ(PersistentConfigHandler::load(kConfigPath), "");
    store("");
    EXPECT_EQ(PersistentConfigHandler::load(kConfigPath), "");
}

TEST_F(PersistentConfigHandlerTest, LoadReserialisesWithFourSignificantDigitsInFileOrder) {
    store("{\"b\":0.123456,\n \"a\":[1, 2.5]}");
    EXPECT_EQ(PersistentConfigHandler::load(kConfigPath), "{\"b\": 0.1235, \"a\": [1, 2.5]}");
}

TEST_F(PersistentConfigHandlerTest, SaveReplacesTheWholeFile) {
    store("{\"params\": {\"profiles\": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10]}}");
    json_t* value = json_pack("{s:{s:i}, s:f}", "params", "configurationStatus", 7, "x", 1.0 / 3);
    ASSERT_TRUE(PersistentConfigHandler::save(value, kConfigPath));
    json_decref(value);

    EXPECT_EQ(root.readFile(kConfigPath),
              "{\"params\": {\"configurationStatus\": 7}, \"x\": 0.3333}");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 7);
}

TEST_F(PersistentConfigHandlerTest, SaveRefusesANullValueAndAMissingDirectory) {
    EXPECT_FALSE(PersistentConfigHandler::save(nullptr, kConfigPath));
    json_t* value = json_object();
    EXPECT_FALSE(PersistentConfigHandler::save(value, "/usr/local/packages/none/config.json"));
    json_decref(value);
    EXPECT_EQ(root.readFile(kConfigPath), "");
}

TEST_F(PersistentConfigHandlerTest, SaveRefusesAValueThatWouldNotReadBackAsWritten) {
    store("{\"params\": {}}");
    // Written with four significant digits, the number rounds past the largest double.
    json_t* value = json_pack("{s:f}", "note", 1.7976e308);
    EXPECT_FALSE(PersistentConfigHandler::readsBackAsWritten(value));
    EXPECT_FALSE(PersistentConfigHandler::save(value, kConfigPath));
    json_decref(value);
    EXPECT_EQ(root.readFile(kConfigPath), "{\"params\": {}}");

    value = json_pack("{s:f, s:f}", "note", 1.797e308, "tiny", 4.9e-324);
    EXPECT_TRUE(PersistentConfigHandler::readsBackAsWritten(value));
    json_decref(value);
}

TEST_F(PersistentConfigHandlerTest, ConfigurationStatusIsZeroUnlessAnIntegerIsStored) {
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 0);
    store("not json");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 0);
    store("{\"params\": {\"configurationStatus\": \"3\"}}");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 0);
    store("{\"params\": []}");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 0);
    store("{\"configurationStatus\": 4, \"params\": {\"configurationStatus\": 12}}");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigPath), 12);
}

}  // namespace
