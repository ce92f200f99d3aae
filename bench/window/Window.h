// The bench's window: the panel scaled up and redrawn at every pass, the
// mouse pressing on its areas as the simulator's pointer does, the cursor
// showing each area's own, and keys that set the airspeed or fly a take-off,
// while the module plays its sounds through the system's DirectSound. Only
// the windows build has one (on Windows, or under Wine with an X display).
#ifndef LUMIVANE_BENCH_WINDOW_H
#define LUMIVANE_BENCH_WINDOW_H

#include "bench/aircraft/WindowPicture.h"
#include "bench/recording/RecordedRun.h"

#include <string>

// The window's keys, as --help gives them: the hand input's keys in the
// words of `gauge` (null: none), and Esc.
std::string WindowKeys(const GaugeDescription* gauge);

// Flies `scenario` in a window that shows the panel `scale` times its size:
// the window is opened first (so that the module's DirectSound finds it as
// the active window) and the passes are paced by the window's timer. The run
// ends at the scenario's end or when the window is closed. `options`' own
// ShowPass, if any, is called as well. With a `picture` of an aircraft's
// window, the window shows that picture instead, the gauge live in its
// places and pressed through them. False with `error` when no window can be
// opened (always, in the native build) or the run cannot start.
bool FlyInWindow(RunOptions options, const Scenario& scenario, int scale, RunSummary* summary, std::string* error,
    const WindowPicture* picture = nullptr);

#endif
