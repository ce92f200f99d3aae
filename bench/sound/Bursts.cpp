// The loudness test of each kind of sample is its own (an 8-bit byte off its
// midpoint, a float's magnitude, a 16-bit sample against an integer limit), as
// each was before they shared one finder.
#include "bench/sound/Bursts.h"

#include <math.h>

int CountBeeps(const uint8_t* samples, uint32_t count)
{
    // A new beep after at least 20 ms of silent samples: a sound `gap + 1`
    // samples or more after the last one.
    const uint32_t gap = 11025 / 50;
    BurstFinder finder(gap);
    for (uint32_t i = 0; i < count; ++i)
        if (samples[i] != 128)
            finder.Sound(i);
    return int(finder.Bursts().size());
}

std::vector<Burst> FindBursts(const CapturedSound& r, float threshold)
{
    BurstFinder finder(r.Rate / 200);
    for (size_t i = 0; i < r.Samples.size(); ++i)
        if (!(fabsf(r.Samples[i]) < threshold))
            finder.Sound(i);
    return finder.Bursts();
}

void HearStretch(BurstFinder* finder, const SoundStretch& stretch, float threshold)
{
    const int limit = int(threshold * 32768.0f);
    for (size_t i = 0; i < stretch.Count; ++i) {
        int v = stretch.Samples[i];
        if (v < limit && v > -limit)
            continue;
        finder->Sound(stretch.Start + i);
    }
}

std::vector<Burst> GroupCallouts(const std::vector<Burst>& bursts, uint32_t rate)
{
    std::vector<Burst> callouts;
    for (const Burst& burst : bursts) {
        if (!callouts.empty() && burst.First - callouts.back().First <= uint64_t(rate) * 3 / 10)
            callouts.back().Last = burst.Last;
        else
            callouts.push_back(burst);
    }
    return callouts;
}
