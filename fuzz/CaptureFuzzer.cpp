// libFuzzer target for the reader of ALSA's capture files: any bytes give a
// recording or a reason, and a recording holds whole frames of the channels
// it says, its first channel one sample a frame.
#include "bench/sound/AlsaCapture.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const CapturedSound sound = ParseCapture(bytes, size);
    if (!sound.Problem.empty())
        return 0;
    Require(sound.Channels > 0 && sound.Rate > 0);
    Require(sound.Frames.size() == sound.Samples.size() * sound.Channels);
    // Every sample came from the bytes, at least two of them each.
    Require(sound.Frames.size() <= size / 2);
    return 0;
}
