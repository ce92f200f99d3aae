#include "bench/window/WindowCursors.h"

#include "bench/window/DownArrowCursor.h"
#include "host/Records.h"

WindowCursors::WindowCursors()
{
    arrow_ = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    up_ = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_UPARROW));
    // IDC_HAND came with Windows 98 and 2000; before, the arrow stands in.
    hand_ = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
    if (!hand_)
        hand_ = arrow_;
    down_ = MakeDownArrow();
    if (!down_)
        down_ = arrow_;
}

WindowCursors::~WindowCursors()
{
    // The system's shared cursors are never destroyed; the drawn one is ours.
    if (down_ != arrow_)
        DestroyCursor(down_);
}

HCURSOR WindowCursors::For(int32_t code) const
{
    switch (code) {
    case UpArrowCursor:
        return up_;
    case DownArrowCursor:
        return down_;
    case HandCursor:
        return hand_;
    default:
        return arrow_;
    }
}
