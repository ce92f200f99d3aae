// One count over every call a loaded gauge makes outward, to the host's
// services or to DirectSound. The two are traced apart (the host and the
// sound tap each keep their own list), and some of the gauge's rules are
// about their order together: the sounds are loaded between two host calls
// of its install, and released before the first host call of its kill.
#ifndef LUMIVANE_BENCH_HOSTING_CALLORDER_H
#define LUMIVANE_BENCH_HOSTING_CALLORDER_H

#include <stdint.h>

// The next number of the count, from 1; the gauge runs on one thread.
inline uint64_t NextCallOrder()
{
    static uint64_t count = 0;
    return ++count;
}

#endif
