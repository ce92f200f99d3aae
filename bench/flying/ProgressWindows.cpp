// A terminal as the C runtime of Windows tells it: a console, or under Wine
// the terminal Wine was started from.
#include "bench/flying/Progress.h"

#include <io.h>
#include <stdio.h>

bool ErrorsGoToTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}
