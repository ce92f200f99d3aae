// The window's dealings with the system's message queue and painting, apart
// from the window so that a test can hold them with a window of its own.
#ifndef LUMIVANE_BENCH_WINDOW_MESSAGES_H
#define LUMIVANE_BENCH_WINDOW_MESSAGES_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>

// Dispatches every message waiting for this thread, keys translated into
// characters so that the system's own keys (Alt+Space, the window's menu)
// work; sets *quit once WM_QUIT is met, and leaves what follows it for the
// next call.
void PumpMessages(bool* quit);

// Answers WM_PAINT: `draw` paints into the device context the system hands
// out for what needs painting, which is given back after, so that the
// system's few shared contexts are never used up.
void PaintWindow(HWND window, const std::function<void(HDC)>& draw);

#endif
