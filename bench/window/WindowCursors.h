// The window's cursors: the system's arrow, up arrow and hand, and the down
// arrow the bench draws itself (Windows has none).
#ifndef LUMIVANE_BENCH_WINDOW_WINDOWCURSORS_H
#define LUMIVANE_BENCH_WINDOW_WINDOWCURSORS_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdint.h>

class WindowCursors {
public:
    WindowCursors();
    ~WindowCursors();
    WindowCursors(const WindowCursors&) = delete;
    WindowCursors& operator=(const WindowCursors&) = delete;

    // The cursor for a cursor code (host/Records.h); the arrow for NoCursor
    // and for a code no cursor has.
    HCURSOR For(int32_t code) const;

private:
    HCURSOR arrow_ = nullptr, up_ = nullptr, down_ = nullptr, hand_ = nullptr;
};

#endif
