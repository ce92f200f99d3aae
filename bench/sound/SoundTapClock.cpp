// The software devices' shared time and the track they are gathered into.
// A run's passes advance it; the devices are mixed only while something
// sounds, so a silent pass costs nothing, and before the gauge looks at or
// changes a buffer (the proxies flush first).
#include "bench/sound/HeardTrack.h"
#include "bench/sound/SoundTap.h"
#include "bench/sound/SoundTapParts.h"

namespace {

uint64_t Clock = 0;
uint32_t Pending = 0;
bool Sounding = false;

} // namespace

void TapSounding()
{
    Sounding = true;
}

void TapAdvance(uint32_t samples)
{
    Pending += samples;
    if (Sounding)
        TapFlush();
}

void TapFlush()
{
    if (!Pending)
        return;
    Sounding = TapMixDevices(Clock, Pending);
    Clock += Pending;
    Pending = 0;
}

uint64_t TapClock()
{
    return Clock + Pending;
}

void ClearHeardTrack()
{
    ForgetHeardTrack();
    Clock = 0;
    Pending = 0;
}
