// The clips' RIFF chunks walked with bench/sound/RiffChunks.h: bounds before
// every move, the fields read byte by byte, outputs cleared first.
#include "web/PageClips.h"

#include "bench/files/LittleEndian.h"
#include "bench/hosting/ModuleResources.h"
#include "bench/sound/RiffChunks.h"

namespace {

const char* const Names[] = {"Wave1", "Wave2"};
const char* const ResourceNames[] = {"WAVE1", "WAVE2"};
PageClip Clips[2];
int Count = 0;

// A PCM clip's format and data; false, with `clip` cleared, otherwise.
bool ReadClip(const uint8_t* bytes, size_t size, PageClip* clip)
{
    const char* name = clip->Name;
    *clip = {name, nullptr, 0, 0, 0, 0};
    if (!IsRiffWave(bytes, size))
        return false;
    bool format = false;
    size_t at = 12;
    RiffChunk chunk;
    while (NextRiffChunk(bytes, size, &at, &chunk)) {
        if (chunk.Is("fmt ") && chunk.Present >= 16) {
            if (Little16(chunk.Body) != 1)
                return false; // not PCM
            clip->Channels = Little16(chunk.Body + 2);
            clip->Rate = Little32(chunk.Body + 4);
            clip->Bits = Little16(chunk.Body + 14);
            format = true;
        } else if (chunk.Is("data") && chunk.Present == chunk.Declared) {
            clip->Data = chunk.Body;
            clip->Bytes = chunk.Declared;
        }
    }
    const bool usable = format && clip->Data && clip->Rate && clip->Channels &&
                        (clip->Bits == 8 || clip->Bits == 16);
    if (!usable)
        *clip = {name, nullptr, 0, 0, 0, 0};
    return usable;
}

} // namespace

int ReadPageClips(void* module)
{
    Count = 0;
    for (int i = 0; i < 2; ++i) {
        PageClip clip = {Names[i], nullptr, 0, 0, 0, 0};
        ModuleResource resource;
        if (FindModuleResource(module, 10, ResourceNames[i], &resource) &&
            ReadClip(resource.Bytes, resource.Size, &clip))
            Clips[Count++] = clip;
    }
    return Count;
}

int PageClipCount()
{
    return Count;
}

const PageClip* PageClipAt(int index)
{
    return index >= 0 && index < Count ? &Clips[index] : nullptr;
}
