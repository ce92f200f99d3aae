// Bursts of sound: runs of samples loud enough to count, taken as one burst
// as long as the silence inside them is never longer than a bridge. A beep's
// own zero crossings are far shorter than any bridge used here, so a beep is
// one burst and a double beep two. One finder serves every sound the bench
// judges: a clip's 8-bit bytes, the heard track and Wine's capture.
#ifndef LUMIVANE_BENCH_SOUND_BURSTS_H
#define LUMIVANE_BENCH_SOUND_BURSTS_H

#include "bench/sound/AlsaCapture.h"
#include "bench/sound/WavFile.h"

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct Burst {
    uint64_t First; // sample numbers, both sounding
    uint64_t Last;
};

class BurstFinder {
public:
    // `bridge`: the most samples from one sounding sample to the next that
    // still belong to one burst.
    explicit BurstFinder(uint64_t bridge) : bridge_(bridge) {}
    // Sample `at` sounds; asked in increasing order.
    void Sound(uint64_t at)
    {
        if (!bursts_.empty() && at - bursts_.back().Last <= bridge_)
            bursts_.back().Last = at;
        else
            bursts_.push_back({at, at});
    }
    const std::vector<Burst>& Bursts() const { return bursts_; }

private:
    uint64_t bridge_;
    std::vector<Burst> bursts_;
};

// Call-outs in bursts: bursts whose starts lie within 300 ms of the first of
// them are one call-out (a double beep's second beep starts 147 ms after its
// first). Each is the first and the last of its bursts.
std::vector<Burst> GroupCallouts(const std::vector<Burst>& bursts, uint32_t rate);

// Beeps in a clip's unsigned 8-bit samples at 11025 Hz: any sample off the
// 128 midpoint sounds, and 20 ms of silence separates two beeps.
int CountBeeps(const uint8_t* samples, uint32_t count);

// Bursts in a capture's first channel and in stretches of 16-bit samples:
// samples at `threshold` of full scale or more sound, bridged over 5 ms.
std::vector<Burst> FindBursts(const CapturedSound& recording, float threshold);
// Stretches of 16-bit samples are told to a finder one at a time, as a run
// hands them over, each after those before it.
void HearStretch(BurstFinder* finder, const SoundStretch& stretch, float threshold);

#endif
