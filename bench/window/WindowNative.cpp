// The native bench has no window: its stand-ins draw nothing on a screen.
#include "bench/window/Window.h"

bool FlyInWindow(RunOptions, const Scenario&, int, RunSummary*, std::string* error, const WindowPicture*)
{
    *error = "--window needs the windows build of the bench, lumivane-bench.exe: on Windows, or from Linux "
             "under Wine with an X display (bench/run-bench --window)";
    return false;
}
