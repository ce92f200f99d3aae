#include "bench/window/PanelCursor.h"

int32_t PanelCursorCode(const GaugeHost* host, int x, int y, int scale, int width, int height)
{
    if (!host || !host->MouseAreas() || x < 0 || y < 0 || x >= width || y >= height)
        return NoCursor;
    const int px = x / scale, py = y / scale;
    if (px >= host->Width() || py >= host->Height())
        return NoCursor;
    return host->CursorCodeAt(px, py);
}
