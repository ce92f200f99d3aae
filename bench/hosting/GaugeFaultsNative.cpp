// Every build but the windows one (the native bench, its tests, the web
// page) catches no fault: the sanitizers report a module's fault or the
// bench's own with the whole stack, which says more than a line of ours
// could, and end the process non-zero; without them the system ends it with
// the signal. Nothing here may stand in their way. Under the sanitizers the
// program's open files are written out as they end it, so that a crashed
// run's events.jsonl holds every whole line written before the crash.
#include "bench/hosting/GaugeFaults.h"

#include <stdio.h>

// Whether the sanitizers are built in is known only to the compiler; clang
// says so through __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define LUMIVANE_SANITIZED 1
#endif
#endif

const bool GaugeFaultsCaught = false;

void CatchGaugeFaults(void*)
{
}

bool TakeGaugeFault(std::string*)
{
    return false;
}

void EndOnOwnFault(const char*, int)
{
#ifdef LUMIVANE_SANITIZED
    __sanitizer_set_death_callback([] { fflush(nullptr); });
#endif
}
