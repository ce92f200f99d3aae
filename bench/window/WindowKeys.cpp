// The window's keys as --help lists them, in both builds, so that the native
// bench's --help tells what the windows build's window does.
#include "bench/flying/HandInput.h"
#include "bench/window/Window.h"

std::string WindowKeys(const GaugeDescription* gauge)
{
    return KeysHelp("Keys in the window (--window):", gauge) + "  Esc           close the window\n";
}
