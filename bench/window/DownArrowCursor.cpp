// Windows has an up arrow cursor (IDC_UPARROW) but no down arrow, which the
// decrease area's cursor code asks for; this one is drawn as the system draws
// its up arrow, black with a white edge, its point the hot spot.
#include "bench/window/DownArrowCursor.h"

#include <string.h>

HCURSOR MakeDownArrow()
{
    const int Size = 32, Centre = 8, Tip = 22, HeadRows = 8, ShaftTop = 2, ShaftHalf = 1;
    // The cursor's pixels in a frame one pixel wide, so that every pixel
    // has four neighbours to ask about, even on the cursor's edge.
    bool framed[Size + 2][Size + 2] = {};
    auto inside = [&](int x, int y) -> bool& { return framed[y + 1][x + 1]; };
    for (int y = ShaftTop; y <= Tip - HeadRows; ++y)
        for (int x = Centre - ShaftHalf; x <= Centre + ShaftHalf; ++x)
            inside(x, y) = true;
    for (int r = 0; r <= HeadRows; ++r)
        for (int x = Centre - r; x <= Centre + r; ++x)
            inside(x, Tip - r) = true;
    BYTE andMask[Size * Size / 8], xorMask[Size * Size / 8];
    memset(andMask, 0xFF, sizeof andMask);
    memset(xorMask, 0, sizeof xorMask);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            if (!inside(x, y))
                continue;
            const int byte = y * Size / 8 + x / 8;
            const BYTE bit = BYTE(0x80 >> (x % 8));
            andMask[byte] &= BYTE(~bit); // drawn
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge)
                xorMask[byte] |= bit; // white on the edge, black inside
        }
    return CreateCursor(GetModuleHandleA(nullptr), Centre, Tip, Size, Size, andMask, xorMask);
}

