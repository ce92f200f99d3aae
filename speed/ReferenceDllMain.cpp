// The entry point of NullGauge.gau and MinimalGauge.gau: no start files and
// nothing to set up, so every call succeeds. Natively the two gauges are
// linked into the pass programs, which have an entry of their own.
#include "platform/Platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
