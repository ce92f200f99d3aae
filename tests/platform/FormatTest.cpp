// wsprintfA as the gauge uses it: the native stand-in must agree with the real
// call on the formats the readout and the settings files are written with.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

TEST(Wsprintf, FormatsLikeTheWindowsCall)
{
    char text[64];
    EXPECT_EQ(wsprintfA(text, "%3d", 80), 3);
    EXPECT_STREQ(text, " 80");
    wsprintfA(text, "%3d", -7);
    EXPECT_STREQ(text, " -7");
    wsprintfA(text, "%3d", 1000);
    EXPECT_STREQ(text, "1000");
    wsprintfA(text, "%i", -2147483647 - 1);
    EXPECT_STREQ(text, "-2147483648");
}

TEST(Wsprintf, NeverWritesMoreThan1024Bytes)
{
    std::string wide(2000, 'x');
    char text[1100];
    memset(text, '#', sizeof text);
    wsprintfA(text, "%s", wide.c_str());
    EXPECT_EQ(std::string(text).size(), 1023u);
    EXPECT_EQ(text[1024], '#') << "wsprintfA wrote past its 1024-byte limit";
}
