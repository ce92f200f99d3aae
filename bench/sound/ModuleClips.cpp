// The clips' RIFF chunks walked with bench/sound/RiffChunks.h: bounds before
// every move, the fields read byte by byte, outputs cleared first. The walk
// stops where the gauge's own walk stops: at the end the RIFF size gives, or
// as soon as it holds a format and samples, so bytes after them never make a
// clip unusable, and a chunk before them that is cut short always does.
#include "bench/sound/ModuleClips.h"

#include "bench/files/LittleEndian.h"
#include "bench/hosting/ModuleResources.h"
#include "bench/sound/RiffChunks.h"

namespace {

// DirectSound's bounds on a buffer's rate (DSBFREQUENCY_MIN and _MAX).
const uint32_t LowestRate = 100;
const uint32_t HighestRate = 100000;
// The PCM format record: tag, channels, rate, bytes a second, block align,
// bits a sample.
const uint32_t PcmFormatBytes = 16;

ModuleClip Clips[MostModuleClips];
int Count = 0;

bool PlayablePcm(const uint8_t* format, ModuleClip* clip)
{
    const uint16_t tag = Little16(format);
    const uint16_t channels = Little16(format + 2);
    const uint32_t rate = Little32(format + 4);
    const uint32_t perSecond = Little32(format + 8);
    const uint16_t align = Little16(format + 12);
    const uint16_t bits = Little16(format + 14);
    if (tag != 1 || channels < 1 || channels > 2 || (bits != 8 && bits != 16))
        return false;
    if (rate < LowestRate || rate > HighestRate || align != channels * bits / 8 || perSecond != rate * align)
        return false;
    clip->Rate = rate;
    clip->Channels = channels;
    clip->Bits = bits;
    return true;
}

} // namespace

ClipReading ReadClipImage(const uint8_t* bytes, size_t size, ModuleClip* clip)
{
    *clip = {clip->Name, nullptr, 0, 0, 0, 0};
    if (!bytes || !IsRiffWave(bytes, size))
        return ClipNotWave;
    // The RIFF size counts the bytes after its own field; held in 64 bits,
    // so that no size in the image wraps. It says where the chunks end, the
    // image how far they can be read: one that promises more than the image
    // holds is a clip cut short once the walk reaches the image's end.
    const uint64_t riffEnd = uint64_t(Little32(bytes + 4)) + 8;
    ModuleClip found = *clip;
    bool format = false;
    size_t at = 12;
    RiffChunk chunk;
    while (at < riffEnd) {
        if (!NextRiffChunk(bytes, size, &at, &chunk) || chunk.Present != chunk.Declared)
            return ClipCutShort;
        if (chunk.Is("fmt ") && !format) {
            if (chunk.Declared < PcmFormatBytes || !PlayablePcm(chunk.Body, &found))
                return ClipBadFormat;
            format = true;
        } else if (chunk.Is("data") && chunk.Declared != 0 && !found.Data) {
            // Empty data holds no samples: the gauge passes it over for a
            // later one.
            found.Data = chunk.Body;
            found.Bytes = chunk.Declared;
        }
        if (format && found.Data) {
            *clip = found;
            return ClipUsable;
        }
    }
    return !format ? ClipNoFormat : ClipNoSamples;
}

const char* DescribeClipReading(ClipReading reading)
{
    switch (reading) {
    case ClipUsable:
        return "a usable clip";
    case ClipNotWave:
        return "not a RIFF/WAVE image";
    case ClipCutShort:
        return "a chunk runs past the end of the resource";
    case ClipNoFormat:
        return "no format chunk";
    case ClipBadFormat:
        return "a format that is not PCM of 1 or 2 channels of 8 or 16 bits at 100 to 100000 Hz";
    case ClipNoSamples:
        return "no data chunk with samples";
    }
    return "an unknown reading";
}

int LearnModuleClipsFrom(void* module, const ModuleClipSource* sources, int count)
{
    Count = 0;
    for (int i = 0; i < count && i < MostModuleClips; ++i) {
        ModuleClip clip = {sources[i].Name, nullptr, 0, 0, 0, 0};
        ModuleResource resource;
        if (FindModuleResource(module, 10, sources[i].Resource, &resource) &&
            ReadClipImage(resource.Bytes, resource.Size, &clip) == ClipUsable)
            Clips[Count++] = clip;
    }
    return Count;
}

int ModuleClipCount()
{
    return Count;
}

const ModuleClip* ModuleClipAt(int index)
{
    return index >= 0 && index < Count ? &Clips[index] : nullptr;
}
