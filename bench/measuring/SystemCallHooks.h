// Counting a loaded gauge module's calls to the system under Wine, into the
// record the native build's link-time wrappers fill (platform/CallCounts.h):
// the module's imports of LocalAlloc, LocalFree, fopen, fgetc, fputs, fclose
// and DirectSoundCreate are pointed at counting replacements
// (bench/hosting/ImportHooks.h), each of which passes the call on to whatever the
// slot held before, be it the system's function, the settings sandbox's fopen
// or the sound tap. Only the DLL has import slots to hook: the native figures
// come from the wrappers, and this part of the bench is built for Windows
// only. One module is counted at a time.
#ifndef LUMIVANE_BENCH_CALLCOUNTING_H
#define LUMIVANE_BENCH_CALLCOUNTING_H

#include "platform/CallCounts.h"

#include <string>

// The number of counted functions.
constexpr int CountedCalls = 7;

// Hooks the module's imports of the counted functions; returns how many it
// hooked (CountedCalls for a gauge that imports them all). Hook after the sandbox and the
// sound tap, or before: either way each call passes through both.
int CountModuleCalls(void* module);

// "LocalAlloc=2 LocalFree=0 fopen=0 failed-fopen=0 ...": the form of the
// figures and of test messages, the same in both builds.
std::string DescribeCalls(const GaugeCallCounts& counts);

#endif
