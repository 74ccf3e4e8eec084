#include "cgi_output.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using camlet::CgiResponse;
using camlet::parseCgiOutput;
using Headers = std::vector<std::pair<std::string, std::string>>;

TEST(CgiOutput, ReadsStatusContentTypeAndBodyWithEitherLineEnd) {
    const auto crlf =
        parseCgiOutput("Content-Type: application/json\r\nStatus: 200 OK\r\n\r\n{\"data\":{}}");
    ASSERT_TRUE(crlf);
    EXPECT_EQ(crlf->status, 200u);
    EXPECT_EQ(crlf->reason, "OK");
    EXPECT_EQ(crlf->contentType, "application/json");
    EXPECT_EQ(crlf->body, "{\"data\":{}}");
    EXPECT_TRUE(crlf->headers.empty());

    const auto lf = parseCgiOutput("status:   404   Not Found \ncontent-type:text/plain\n\nx");
    ASSERT_TRUE(lf);
    EXPECT_EQ(lf->status, 404u);
    EXPECT_EQ(lf->reason, "Not Found");
    EXPECT_EQ(lf->contentType, "text/plain");
    EXPECT_EQ(lf->body, "x");
}

TEST(CgiOutput, DefaultsToOkAndKeepsTheBodyByteForByte) {
    const char raw[] = "\r\n\r\nStatus: 500\r\n\0\xff";
    const std::string body(raw, sizeof raw - 1);
    const auto response = parseCgiOutput("Content-Type: a/b\r\n\r\n" + body);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200u);
    EXPECT_EQ(response->reason, "");
    EXPECT_EQ(response->body, body);

    const auto noHeaders = parseCgiOutput("\r\n");
    ASSERT_TRUE(noHeaders);
    EXPECT_EQ(noHeaders->status, 200u);
    EXPECT_EQ(noHeaders->contentType, "");
    EXPECT_EQ(noHeaders->body, "");
}

TEST(CgiOutput, PassesOtherHeadersOnButNotThoseOfTheTransfer) {
    const auto response = parseCgiOutput(
        "X-One: 1\r\nContent-Length: 99\r\ntransfer-encoding: chunked\r\nConnection: "
        "keep-alive\r\nCache-Control: no-store\r\n\r\n");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->headers, (Headers{{"X-One", "1"}, {"Cache-Control", "no-store"}}));
    EXPECT_EQ(response->connection, "keep-alive");  // the server decides, and says so
}

TEST(CgiOutput, RefusesIncompleteOrMalformedHeaderBlocks) {
    for (const char* output : {
             "",                                      // nothing written
             "Content-Type: application/json\r\n{}",  // no blank line
             "Status: 200 OK",                        // no line end at all
             "not a header\r\n\r\n",                  // no colon
             ": value\r\n\r\n",                       // no name
             "Bad Name: x\r\n\r\n",                   // blank in the name
             "Bad(Name): x\r\n\r\n",                  // separator in the name
             "X-Split: a\rb\r\n\r\n",                 // control byte in the value
             "Status: OK\r\n\r\n",                    // no code
             "Status: 20\r\n\r\n",                    // too short
             "Status: 2000\r\n\r\n",                  // too long
             "Status: 099 Low\r\n\r\n",               // out of range
             "Status: 600 High\r\n\r\n",
         }) {
        EXPECT_FALSE(parseCgiOutput(output)) << '"' << output << '"';
    }
    const char nulInName[] = "Stat\0us: 200\r\n\r\n";
    EXPECT_FALSE(parseCgiOutput(std::string(nulInName, sizeof nulInName - 1)));
    const char nulInValue[] = "X-Note: a\0b\r\n\r\n";
    EXPECT_FALSE(parseCgiOutput(std::string(nulInValue, sizeof nulInValue - 1)));
}

}  // namespace
