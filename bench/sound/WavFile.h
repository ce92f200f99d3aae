// The bench's one writer of WAV files: 16-bit PCM with the canonical 44-byte
// header, which every player reads. Its sizes are held within what a RIFF
// file can say (32 bits), so the file is valid however long the sound: a
// longer one is cut at that length, never written with a wrapped size.
#ifndef LUMIVANE_BENCH_SOUND_WAVFILE_H
#define LUMIVANE_BENCH_SOUND_WAVFILE_H

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

// Writes `frames` frames of `channels` samples at `rate`; `sample(i)` gives
// the i-th sample, frames interleaved. True on success.
bool WriteWav(const std::string& path, uint32_t rate, uint32_t channels, uint64_t frames,
    const std::function<int16_t(uint64_t)>& sample);

// A stretch of sound at its place in a longer track.
struct SoundStretch {
    uint64_t Start;
    const int16_t* Samples;
    size_t Count;
};

// A mono track `total` samples long: the stretches at their places (in time
// order), silence between them. True on success.
bool WriteMonoWav(const std::vector<SoundStretch>& stretches, uint64_t total, uint32_t rate,
    const std::string& path);

// A float sample of full scale 1.0 as 16 bits, held at the limits (NaN: 0).
int16_t ToSixteen(float v);

#endif
