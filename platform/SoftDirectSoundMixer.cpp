// The software DirectSound's mixer: the clock the caller advances, and the
// track that each tick adds one sample to, summed over the device's playing
// buffers and clipped to 16 bits. It never plays ahead of the clock, so a
// test knows to the sample what was heard; it never changes a buffer's
// settings, only its play cursor.
#include "platform/SoftDirectSoundInternal.h"

#include <stdlib.h>

namespace SoftDirectSoundInternal {

int32_t SoftBuffer::Sample() const
{
    const BYTE* at = memory->bytes + static_cast<size_t>(frame) * format.nBlockAlign;
    int32_t sum = 0;
    for (int channel = 0; channel < format.nChannels; ++channel) {
        if (format.wBitsPerSample == 8) {
            sum += (static_cast<int32_t>(at[channel]) - 128) * 256;
        } else {
            const BYTE* p = at + 2 * channel;
            sum += static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
        }
    }
    sum /= format.nChannels;
    return static_cast<int32_t>((static_cast<int64_t>(sum) * gain) >> 16);
}

// Moves the play cursor on by one output tick. A one-shot play ends on the
// tick that played its last frame and leaves the cursor at the start, so the
// next Play begins from there.
void SoftBuffer::Step()
{
    DWORD rate = frequency ? frequency : format.nSamplesPerSec;
    phase += rate;
    while (phase >= SOFT_DIRECTSOUND_RATE) {
        phase -= SOFT_DIRECTSOUND_RATE;
        if (++frame >= Frames()) {
            frame = 0;
            if (!looping) {
                playing = false;
                phase = 0;
                return;
            }
        }
    }
}

void SoftDevice::Append(int16_t sample)
{
    if (trackSamples == trackCapacity) {
        DWORD grown = trackCapacity ? trackCapacity * 2 : SOFT_DIRECTSOUND_RATE;
        if (grown <= trackCapacity)
            return;
        void* larger = realloc(track, static_cast<size_t>(grown) * sizeof(int16_t));
        // Without memory the clock still runs; the track just stops growing.
        if (!larger)
            return;
        track = static_cast<int16_t*>(larger);
        trackCapacity = grown;
    }
    track[trackSamples++] = sample;
}

} // namespace SoftDirectSoundInternal

using namespace SoftDirectSoundInternal;

void SoftDirectSoundAdvance(LPDIRECTSOUND device, DWORD samples)
{
    SoftDevice* d = FindDevice(device);
    if (!d)
        return;
    for (DWORD tick = 0; tick < samples; ++tick) {
        int32_t sum = 0;
        for (SoftBuffer* b = BufferList; b; b = b->next) {
            if (b->device != d || !b->playing)
                continue;
            sum += b->Sample();
            b->Step();
        }
        if (sum > 32767)
            sum = 32767;
        if (sum < -32768)
            sum = -32768;
        d->Append(static_cast<int16_t>(sum));
        ++d->clock;
    }
}

void SoftDirectSoundAdvanceMilliseconds(LPDIRECTSOUND device, DWORD milliseconds)
{
    uint64_t samples = static_cast<uint64_t>(milliseconds) * SOFT_DIRECTSOUND_RATE / 1000;
    SoftDirectSoundAdvance(device, static_cast<DWORD>(samples));
}

uint64_t SoftDirectSoundClock(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->clock : 0;
}

const int16_t* SoftDirectSoundTrack(LPDIRECTSOUND device, DWORD* samples)
{
    SoftDevice* d = FindDevice(device);
    if (samples)
        *samples = d ? d->trackSamples : 0;
    return d ? d->track : nullptr;
}

void SoftDirectSoundClearTrack(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    if (d)
        d->trackSamples = 0;
}
