// A program that links the gauge's objects but not its resources finds no
// resources at all, in either build: the windows program has no resource
// section, and the native stand-ins fall back to their empty table. The
// sound layer then treats "Wave1" as absent rather than failing to link.
#include "sound/WaveResource.h"

#include <gtest/gtest.h>

TEST(NoResources, NothingIsFound)
{
    EXPECT_EQ(FindResourceA(nullptr, "WAVE1", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(4096), RT_BITMAP), nullptr);
    BYTE* data = reinterpret_cast<BYTE*>(0x20);
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave1", nullptr, &data, nullptr), 0);
    EXPECT_EQ(data, reinterpret_cast<BYTE*>(0x20)) << "outputs untouched when the name is missing";
}
