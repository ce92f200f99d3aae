// Which cursor the window shows over a point of its client area. Apart from
// the window's Win32 code so that both builds' tests hold it.
#ifndef LUMIVANE_BENCH_WINDOW_PANELCURSOR_H
#define LUMIVANE_BENCH_WINDOW_PANELCURSOR_H

#include "bench/hosting/GaugeHost.h"

// The cursor code (host/Records.h) for client point x, y of a window that
// shows the panel `scale` times its size in its top-left `width` × `height`
// pixels: the host's for the panel pixel under it; NoCursor, the arrow, off
// the panel, past the gauge's size as the host took it (the picture shown
// may be larger, and the host answers beyond the gauge with the group's
// cursor), before the first pass (no host) and while no list is registered.
int32_t PanelCursorCode(const GaugeHost* host, int x, int y, int scale, int width, int height);

#endif
