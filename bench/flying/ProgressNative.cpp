// A terminal as POSIX tells it.
#include "bench/flying/Progress.h"

#include <stdio.h>
#include <unistd.h>

bool ErrorsGoToTerminal()
{
    return isatty(fileno(stderr)) != 0;
}
