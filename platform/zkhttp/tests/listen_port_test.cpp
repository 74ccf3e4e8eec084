#include "listen_port.h"

#include <gtest/gtest.h>

namespace {

using camlet::parseHttpPort;

TEST(ListenPort, UnsetOrEmptyMeansTheDefault) {
    EXPECT_EQ(parseHttpPort(nullptr), 8080);
    EXPECT_EQ(parseHttpPort(""), 8080);
}

TEST(ListenPort, AcceptsDecimalPortsOnly) {
    EXPECT_EQ(parseHttpPort("1"), 1);
    EXPECT_EQ(parseHttpPort("9090"), 9090);
    EXPECT_EQ(parseHttpPort("65535"), 65535);
    for (const char* text : {"0", "65536", "-1", "80x", " 80", "0x50", "http", "4294967376"}) {
        EXPECT_FALSE(parseHttpPort(text)) << text;
    }
}

}  // namespace
