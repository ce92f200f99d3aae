// Which of the module's clips a buffer holds, known by what the gauge wrote
// into it: its bytes are compared with the samples of each usable clip the
// module carries, as ModuleClips read them when the module was tapped. A clip
// the reader left out is never named.
#include "bench/sound/ClipMatcher.h"

#include "bench/sound/ModuleClips.h"

#include <string.h>

const char* IdentifyClip(const void* first, uint32_t firstBytes, const void* second, uint32_t secondBytes)
{
    for (int i = 0; i < ModuleClipCount(); ++i) {
        const ModuleClip& clip = *ModuleClipAt(i);
        if (uint64_t(firstBytes) + secondBytes != clip.Bytes)
            continue;
        if (firstBytes && memcmp(first, clip.Data, firstBytes) != 0)
            continue;
        if (secondBytes && memcmp(second, clip.Data + firstBytes, secondBytes) != 0)
            continue;
        return clip.Name;
    }
    return nullptr;
}
