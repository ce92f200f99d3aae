// What the software devices played, gathered at its place in the run's time
// in one 11025 Hz mono track that outlives each device (kill and install).
// Only the stretches that sounded are kept, so a long run's silence takes no
// memory; overlapping sounds are summed and held at full scale.
#ifndef LUMIVANE_BENCH_SOUND_HEARDTRACK_H
#define LUMIVANE_BENCH_SOUND_HEARDTRACK_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct HeardStretch {
    uint64_t Start; // in samples from the start of the run
    std::vector<int16_t> Samples;
};

// Mixes `count` samples into the track from sample `at` on.
void HearAt(uint64_t at, const int16_t* samples, size_t count);
const std::vector<HeardStretch>& HeardTrack();
void ForgetHeardTrack();

#endif
