#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/persistent_config_handler.h"
#include "base/status_exception.h"
#include "config/json_auto_ptr.h"
#include "config/json_parser.h"
#include "config/parse_config.h"
#include "config_test_support.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

TEST(JsonAutoPtr, OwnsOneReferenceAndHandsItOnWhenMoved) {
    json_t* value = json_object();
    json_incref(value);  // the test's own reference
    {
        JsonAutoPtr first(value);
        JsonAutoPtr second(std::move(first));
        EXPECT_FALSE(first);
        JsonAutoPtr third(json_array());
        third = std::move(second);  // drops the array, takes the object
        EXPECT_EQ(third.get(), value);
        EXPECT_EQ(value->refcount, 2u);
    }
    EXPECT_EQ(value->refcount, 1u);

    JsonAutoPtr released(value);
    EXPECT_EQ(released.release(), value);
    EXPECT_EQ(value->refcount, 1u);
    json_decref(value);
}

TEST(JsonParser, MembersOfTheRightTypeOnly) {
    JsonAutoPtr document(JsonParser::decode(R"({"list": [1], "map": {"a": 1}, "text": "x"})"));
    ASSERT_TRUE(JsonParser::isValid(document.get()));
    EXPECT_TRUE(json_is_array(JsonParser::getArray(document.get(), "list")));
    EXPECT_EQ(JsonParser::getArray(document.get(), "map"), nullptr);
    EXPECT_TRUE(json_is_object(JsonParser::getObject(document.get(), "map")));
    EXPECT_EQ(JsonParser::getObject(document.get(), "text"), nullptr);
    EXPECT_EQ(JsonParser::getObject(nullptr, "map"), nullptr);
    EXPECT_EQ(JsonParser::decode("{\"a\": "), nullptr);
}

TEST(JsonParser, DumpsCompactlyInInsertionOrder) {
    JsonAutoPtr value(json_pack("{s:i, s:[f], s:s}", "zulu", 1, "alpha", 0.5, "mike", "m"));
    EXPECT_EQ(JsonParser::dumpJsonToString(value.get()), R"({"zulu":1,"alpha":[0.5],"mike":"m"})");
    EXPECT_EQ(JsonParser::dumpJsonToString(nullptr), "");
}

// Runs the reader and returns the exception it throws.
template <typename Reader>
StatusException thrownBy(Reader reader) {
    try {
        reader();
    } catch (const StatusException& e) {
        return e;
    }
    ADD_FAILURE() << "nothing thrown";
    return StatusException("", STATUS_OK);
}

void expectThrows(const StatusException& thrown, const std::string& message, StatusCode_e code) {
    EXPECT_EQ(thrown.what(), message);
    EXPECT_EQ(thrown.getStatusCode(), code);
}

TEST(ParseConfig, ReadsTheDocumentsMembers) {
    JsonAutoPtr document(JsonParser::decode(
        R"({"params": {"cameras": [{"id": 1}, {"id": 2}],
                       "profiles": [{"uid": 7, "name": "a"}, {"uid": 9, "name": "b"}]}})"));
    const json_t* params = ParseConfig::getParams(document.get());
    const json_t* profiles = ParseConfig::getProfiles(params);
    const json_t* cameras = ParseConfig::getCameras(params);
    EXPECT_EQ(json_array_size(profiles), 2u);
    EXPECT_EQ(ParseConfig::getCameraId(json_array_get(cameras, 1)), 2);

    JsonAutoPtr wanted(json_pack("{s:i}", "uid", 9));
    EXPECT_EQ(ParseConfig::getProfile(wanted.get(), profiles), json_array_get(profiles, 1));
    JsonAutoPtr absent(json_pack("{s:i}", "id", 3));
    EXPECT_EQ(ParseConfig::getCamera(absent.get(), cameras), nullptr);
}

TEST(ParseConfig, MissingMembersThrowTheirMessages) {
    JsonAutoPtr document(JsonParser::decode(R"({"params": {"cameras": {}, "uid": "1"}})"));
    const json_t* params = json_object_get(document.get(), "params");
    expectThrows(thrownBy([&] { ParseConfig::getParams(params); }),
                 "Could not read 'params' from configuration", STATUS_MISSING_PARAMETER);
    expectThrows(thrownBy([&] { ParseConfig::getProfiles(params); }),
                 "Could not read 'profiles' from configuration", STATUS_MISSING_PARAMETER);
    expectThrows(thrownBy([&] { ParseConfig::getCameras(params); }),
                 "Could not read 'cameras' from old configuration", STATUS_MISSING_PARAMETER);
    expectThrows(thrownBy([&] { ParseConfig::getProfileUid(params); }), "Failed to parse key: uid",
                 STATUS_MISSING_PARAMETER);
    expectThrows(thrownBy([&] { ParseConfig::getCameraId(params); }), "Failed to parse key: id",
                 STATUS_MISSING_PARAMETER);
}

TEST(ParseConfig, StoredDocumentMustExistAndBeJson) {
    const std::string directory = configtest::kConfigurationDirectory;
    expectThrows(thrownBy([&] { ParseConfig::getPersistentConfig(directory + "/absent.json"); }),
                 "Could not read the configuration file", STATUS_READ_FAILED);

    JsonAutoPtr stored(json_pack("{s:{s:i}}", "params", "configurationStatus", 4));
    ASSERT_TRUE(PersistentConfigHandler::save(stored.get(), directory + "/stored.json"));
    const JsonAutoPtr loaded = ParseConfig::getPersistentConfig(directory + "/stored.json");
    EXPECT_TRUE(json_equal(loaded.get(), stored.get()));
}

}  // namespace
