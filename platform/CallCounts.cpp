// The one record of the gauge's counted calls and live blocks, shared by
// whatever counts them: link-time wrappers in the native build
// (native/SystemCallWrappers.cpp), import hooks under Wine (bench/measuring/SystemCallHooks.cpp).
#include "platform/CallCounts.h"

GaugeCallCounts GaugeCalls;

namespace {

int32_t LiveBlocks = 0;
int64_t LiveBytes = 0;

} // namespace

void ResetGaugeCalls(void)
{
    GaugeCalls = GaugeCallCounts();
}

int32_t GaugeLiveBlocks(void)
{
    return LiveBlocks;
}

int64_t GaugeLiveBytes(void)
{
    return LiveBytes;
}

void NoteBlockAllocated(int64_t bytes)
{
    ++LiveBlocks;
    LiveBytes += bytes;
}

void NoteBlockFreed(int64_t bytes)
{
    --LiveBlocks;
    LiveBytes -= bytes;
}
