// libFuzzer target for the one reader of the module's clips, over a wave
// resource: a usable clip's samples lie wholly inside the image, after its
// headers, and are touched byte by byte, so that a claim past the end is an
// AddressSanitizer report; its format is one DirectSound plays; any other
// reading leaves every output but the name cleared.
#include "bench/sound/ModuleClips.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

namespace {

volatile uint8_t Sink;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // Not cleared, so that clearing them is seen.
    ModuleClip clip = {"Wave1", bytes, 1, 1, 1, 1};
    const ClipReading reading = ReadClipImage(bytes, size, &clip);
    Require(clip.Name != nullptr && DescribeClipReading(reading)[0] != 0);
    if (reading != ClipUsable) {
        Require(clip.Data == nullptr && clip.Bytes == 0 && clip.Rate == 0 && clip.Channels == 0 && clip.Bits == 0);
        return 0;
    }
    Require(clip.Data >= bytes + 20 && clip.Bytes > 0 && clip.Bytes <= size_t(bytes + size - clip.Data));
    Require((clip.Channels == 1 || clip.Channels == 2) && (clip.Bits == 8 || clip.Bits == 16));
    Require(clip.Rate >= 100 && clip.Rate <= 100000);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < clip.Bytes; ++i)
        sum = uint8_t(sum + clip.Data[i]);
    Sink = sum;
    return 0;
}
