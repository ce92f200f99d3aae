// The down arrow cursor of the bench's window (the decrease area's cursor).
#ifndef LUMIVANE_BENCH_WINDOW_DOWNARROWCURSOR_H
#define LUMIVANE_BENCH_WINDOW_DOWNARROWCURSOR_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// A new cursor, or null when the system cannot make one.
HCURSOR MakeDownArrow();

#endif
