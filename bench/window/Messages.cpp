#include "bench/window/Messages.h"

void PumpMessages(bool* quit)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *quit = true;
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PaintWindow(HWND window, const std::function<void(HDC)>& draw)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw(dc);
    EndPaint(window, &paint);
}
