// Which of the module's clips a buffer holds, known by what the gauge wrote
// into it: its bytes are compared with the data chunks of the module's own
// WAVE1 and WAVE2 resources (type 10), read once when the module is loaded.
// A clip cut short in the module is no clip, so nothing is named after it.
#include "bench/sound/ClipMatcher.h"

#include "bench/hosting/ModuleResources.h"
#include "bench/sound/RiffChunks.h"

#include <string.h>

namespace {

struct KnownClip {
    const char* Name;
    const uint8_t* Data;
    uint32_t Size;
};
KnownClip Clips[2] = {{"Wave1", nullptr, 0}, {"Wave2", nullptr, 0}};

} // namespace

// A clip cut short is no clip.
bool FindClipData(const uint8_t* bytes, size_t size, const uint8_t** data, uint32_t* length)
{
    *data = nullptr;
    *length = 0;
    if (!bytes || !IsRiffWave(bytes, size))
        return false;
    RiffChunk chunk;
    for (size_t at = 12; NextRiffChunk(bytes, size, &at, &chunk);) {
        if (chunk.Present != chunk.Declared)
            return false;
        if (chunk.Is("data")) {
            *data = chunk.Body;
            *length = chunk.Declared;
            return true;
        }
    }
    return false;
}

// The clip whose data the regions hold, or null.
const char* IdentifyClip(const void* first, uint32_t firstBytes, const void* second, uint32_t secondBytes)
{
    for (const KnownClip& clip : Clips) {
        if (!clip.Data || uint64_t(firstBytes) + secondBytes != clip.Size)
            continue;
        if (firstBytes && memcmp(first, clip.Data, firstBytes) != 0)
            continue;
        if (secondBytes && memcmp(second, clip.Data + firstBytes, secondBytes) != 0)
            continue;
        return clip.Name;
    }
    return nullptr;
}

int LearnModuleClips(void* module)
{
    int found = 0;
    for (KnownClip& clip : Clips) {
        clip.Data = nullptr;
        clip.Size = 0;
        char name[8];
        // Resource names are stored in upper case; the lookup ignores case.
        for (int i = 0; i < 6; ++i)
            name[i] = clip.Name[i] >= 'a' && clip.Name[i] <= 'z' ? char(clip.Name[i] - 32) : clip.Name[i];
        name[6] = 0;
        ModuleResource resource;
        if (FindModuleResource(module, 10, name, &resource) &&
            FindClipData(resource.Bytes, resource.Size, &clip.Data, &clip.Size))
            ++found;
    }
    return found;
}

