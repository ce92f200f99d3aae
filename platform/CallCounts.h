// The gauge's calls that reach the system: the allocator, the stream calls of
// the settings files and the creation of the sound device. A pass over the
// elements in flight must make none of them, and a pass while a settings file
// is missing at most one failed open; the tests count them to show it. This
// record is the one place the counts go: in the native build link-time
// wrappers fill it (platform/native/SystemCallWrappers.cpp), and under Wine the
// bench fills it through the DLL's import hooks (bench/measuring/SystemCallHooks.cpp).
#ifndef LUMIVANE_PLATFORM_CALLCOUNTS_H
#define LUMIVANE_PLATFORM_CALLCOUNTS_H

#include <stdint.h>

struct GaugeCallCounts {
    uint32_t LocalAlloc;
    uint32_t LocalFree;
    uint32_t Fopen;
    uint32_t FailedFopen; // counted in Fopen as well
    uint32_t Fgetc;
    uint32_t Fputs;
    uint32_t Fclose;
    uint32_t DirectSoundCreate;
};

// The calls counted since the last reset.
extern GaugeCallCounts GaugeCalls;
void ResetGaugeCalls(void);

// What LocalAlloc has handed out and LocalFree not yet taken back, over the
// whole run (a reset leaves it): blocks and bytes.
int32_t GaugeLiveBlocks(void);
int64_t GaugeLiveBytes(void);

// For whatever does the counting: a block handed out, or taken back, of
// that many bytes.
void NoteBlockAllocated(int64_t bytes);
void NoteBlockFreed(int64_t bytes);

// Two counts are the same calls.
inline bool operator==(const GaugeCallCounts& a, const GaugeCallCounts& b)
{
    return a.LocalAlloc == b.LocalAlloc && a.LocalFree == b.LocalFree && a.Fopen == b.Fopen
        && a.FailedFopen == b.FailedFopen && a.Fgetc == b.Fgetc && a.Fputs == b.Fputs && a.Fclose == b.Fclose
        && a.DirectSoundCreate == b.DirectSoundCreate;
}

#endif
