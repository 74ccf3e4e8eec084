#include <gtest/gtest.h>

#include <string>

#include "cgi/cgi_header.h"
#include "cgi/request_text.h"
#include "cgi/status_mapping.h"
#include "config/json_parser.h"

namespace {

const char* const kVersions[] = {"1.0", "1.1", "1.2", "1.3", "1.4"};
const API_VersionHandler kVersionHandler(kVersions, 5);

TEST(RequestRepair, StrayBytesAfterTheObjectAreCutOff) {
    EXPECT_EQ(requestText::repair(R"({"a": 1}xyz)"), R"({"a": 1})");
    EXPECT_EQ(requestText::repair(R"({"a": {"b": 2}} tail } more)"), R"({"a": {"b": 2}})");
    EXPECT_EQ(requestText::repair("{\"a\": 1}\n\n"), "{\"a\": 1}\n\n");
}

TEST(RequestRepair, TextsWithoutALeadingObjectStayAsTheyAre) {
    for (const std::string text : {"", "}", "not json }}", "[1] }", R"({"a": )", "\xff\xfe}"}) {
        EXPECT_EQ(requestText::repair(text), text);
    }
}

// Texts of a few MiB with many braces are repaired in one pass.
TEST(RequestRepair, ALargeTextWithManyBracesIsRepairedInOnePass) {
    const std::string object = R"({"a": ")" + std::string(2u << 20, 'x') + R"("})";
    EXPECT_EQ(requestText::repair(object + std::string(2u << 20, '}')), object);
}

TEST(RequestLog, LongRequestsAreShortenedForTheLog) {
    EXPECT_EQ(requestText::forLog("short"), "short");
    const std::string logged = requestText::forLog(std::string(10000, 'a').c_str());
    EXPECT_LT(logged.size(), 600u);
    EXPECT_NE(logged.find("(10000 bytes)"), std::string::npos);
}

TEST(CGI_Header, AcceptedRequestsAreAnsweredAtTheHighestMinorOfTheirMajor) {
    const CGI_Header header(R"({"apiVersion": "1.2", "method": "m", "context": "c"})",
                            kVersionHandler);
    EXPECT_EQ(header.status(), STATUS_OK);
    EXPECT_EQ(header.apiVersion(), "1.4");
    const JsonAutoPtr answer = header.createResponseHeader();
    EXPECT_EQ(JsonParser::dumpJsonToString(answer.get()),
              R"({"apiVersion":"1.4","method":"m","context":"c"})");
}

TEST(CGI_Header, RejectedEnvelopesCarryTheirErrorAndTheHighestVersion) {
    const struct {
        const char* request;
        StatusCode_e status;
        const char* answer;
    } cases[] = {
        {"{nope", STATUS_BAD_JSON,
         R"({"apiVersion":"1.4","method":"","context":"","error":{"code":"2001",)"},
        {R"({"apiVersion": "1.4", "context": "c"})", STATUS_MISSING_PARAMETER,
         R"({"apiVersion":"1.4","method":"","context":"","error":{"code":"2003",)"},
        {R"({"apiVersion": 1.4, "method": "m"})", STATUS_MISSING_PARAMETER,
         R"({"apiVersion":"1.4","method":"m","context":"","error":{"code":"2003",)"},
        {R"({"apiVersion": "1.9", "method": "m", "context": "c"})", STATUS_VERSION_NOT_SUPPORTED,
         R"({"apiVersion":"1.4","method":"m","context":"","error":{"code":"2000",)"},
        {R"({"apiVersion": "2.0", "method": "m"})", STATUS_VERSION_NOT_SUPPORTED,
         R"({"apiVersion":"1.4","method":"m","context":"","error":{"code":"2000",)"},
        {"{\"method\": \"m\xff\"}", STATUS_BAD_JSON,
         R"({"apiVersion":"1.4","method":"","context":"","error":{"code":"2001",)"},
    };
    for (const auto& c : cases) {
        const CGI_Header header(c.request, kVersionHandler);
        EXPECT_EQ(header.status(), c.status) << c.request;
        const std::string answer =
            JsonParser::dumpJsonToString(header.createResponseHeader().get());
        EXPECT_EQ(answer.rfind(c.answer, 0), 0u) << answer;
    }
}

TEST(CGI_Header, DeeplyNestedRequestsAreNotJson) {
    const std::string nested = std::string(100000, '[') + std::string(100000, ']');
    const CGI_Header header(
        ("{\"method\": \"m\", \"apiVersion\": \"1.4\", \"p\": " + nested + "}").c_str(),
        kVersionHandler);
    EXPECT_EQ(header.status(), STATUS_BAD_JSON);
}

TEST(StatusMapping, EveryStatusHasItsCode) {
    const struct {
        StatusCode_e status;
        const char* code;
    } cases[] = {{STATUS_OK, "0"},
                 {STATUS_BAD_JSON, "2001"},
                 {STATUS_MISSING_PARAMETER, "2003"},
                 {STATUS_INVALID_PARAMETER, "2004"},
                 {STATUS_CONTRADICTION, "2002"},
                 {STATUS_TOO_MANY_PROFILES, "2002"},
                 {STATUS_METHOD_NOT_FOUND, "2005"},
                 {STATUS_VERSION_NOT_SUPPORTED, "2000"},
                 {STATUS_PRODUCT_NOT_SUPPORTED, "8000"},
                 {STATUS_SAVE_FAILED, "1000"},
                 {STATUS_READ_FAILED, "1000"},
                 {STATUS_INTERNAL, "1000"}};
    for (const auto& c : cases) {
        EXPECT_EQ(utils::convertStatusToJsonCode(c.status), c.code) << c.status;
    }
    EXPECT_EQ(utils::convertStatusToJsonMessage(STATUS_OK), "");
    EXPECT_EQ(utils::convertStatusToJsonMessage(STATUS_TOO_MANY_PROFILES),
              "An error occurred inside the application.");
    EXPECT_EQ(utils::convertStatusToJsonMessage(STATUS_CONTRADICTION),
              "Parts of the configuration contradict each other, e.g several profiles have the "
              "same id");
}

}  // namespace
