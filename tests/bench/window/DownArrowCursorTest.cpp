// The window's down arrow cursor, read back from the system as it holds it:
// its hot spot at the point, and its masks a down arrow, a three-pixel shaft
// over a head one pixel wider each row up from the point, mirrored about the
// hot spot's column, black inside with a white edge. Windows build only.
#include "bench/window/DownArrowCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const int Size = 32;

TEST(DownArrowCursor, IsADownArrowWithItsPointTheHotSpot)
{
    HCURSOR cursor = MakeDownArrow();
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    const int hotX = int(info.xHotspot), hotY = int(info.yHotspot);
    EXPECT_EQ(hotX, 8);
    EXPECT_EQ(hotY, 22);
    // A monochrome cursor keeps both masks in one bitmap: the AND mask's
    // rows, then the XOR mask's.
    ASSERT_EQ(info.hbmColor, nullptr);
    BITMAP facts = {};
    ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof facts, &facts));
    ASSERT_EQ(facts.bmWidth, Size);
    ASSERT_EQ(facts.bmHeight, 2 * Size);
    std::vector<BYTE> bits(size_t(facts.bmWidthBytes) * size_t(facts.bmHeight));
    ASSERT_EQ(GetBitmapBits(info.hbmMask, LONG(bits.size()), bits.data()), LONG(bits.size()));
    auto bit = [&](int x, int y) { return (bits[size_t(y * facts.bmWidthBytes + x / 8)] >> (7 - x % 8)) & 1; };
    auto drawn = [&](int x, int y) { return x >= 0 && y >= 0 && x < Size && y < Size && !bit(x, y); };
    auto white = [&](int x, int y) { return bit(x, y + Size) == 1; };

    for (int y = 0; y < Size; ++y) {
        // What each row must draw: the shaft's three pixels from row 2, the
        // head's 2 × (point − y) + 1 from where it is wider, nothing else.
        int half = -1;
        if (y >= 2 && y <= hotY)
            half = hotY - y <= 8 ? hotY - y : 1;
        for (int x = 0; x < Size; ++x) {
            const bool expected = half >= 0 && x >= hotX - half && x <= hotX + half;
            EXPECT_EQ(drawn(x, y), expected) << "pixel " << x << ", " << y;
            if (!drawn(x, y)) {
                EXPECT_FALSE(white(x, y)) << "pixel " << x << ", " << y << " outside the arrow";
                continue;
            }
            const bool edge = !drawn(x - 1, y) || !drawn(x + 1, y) || !drawn(x, y - 1) || !drawn(x, y + 1);
            EXPECT_EQ(white(x, y), edge) << "pixel " << x << ", " << y << (edge ? " on the edge" : " inside");
        }
    }
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

} // namespace
