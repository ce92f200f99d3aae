// What Wine's DirectSound sent to the sound card, read back from the WAV file
// that ALSA's file device writes when HOME/.asoundrc names it as the default
// output; the runs of sound in it; and a proper WAV file written from it.
// ALSA's header says 32-bit PCM while the samples are Wine's floats, so a
// player would read the file as noise: the bench rewrites it as 16-bit PCM.
#ifndef LUMIVANE_BENCH_RECORDING_H
#define LUMIVANE_BENCH_RECORDING_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

struct Recording {
    uint32_t Rate = 0;
    uint32_t Channels = 0;
    std::vector<float> Samples; // first channel, full scale 1.0
    std::vector<float> Frames;  // every channel, interleaved
    std::string Problem;        // empty when the file was read
};

Recording ReadRecording(const std::string& path);

struct Burst {
    size_t First;
    size_t Last;
};

// Appends `more` to `into` (same rate and channels, or `into` still empty).
void AppendRecording(Recording* into, const Recording& more);

// 16-bit PCM at the recording's rate and channels; true on success.
bool WriteRecordingWav(const Recording& r, const std::string& path);

// A WAV file of 16-bit mono samples, `total` long: the stretches at their
// places, silence between them. True on success.
struct SoundStretch {
    uint64_t Start;
    const int16_t* Samples;
    size_t Count;
};
bool WriteMonoWav(const std::vector<SoundStretch>& stretches, uint64_t total, uint32_t rate,
                  const std::string& path);

// Bursts of sound in such stretches, found as FindBursts does.
std::vector<Burst> FindStretchBursts(const std::vector<SoundStretch>& stretches, uint32_t rate, float threshold);

// Runs of sound above the threshold, taken to be one as long as they are
// never silent for more than 5 ms.
std::vector<Burst> FindBursts(const Recording& r, float threshold);

#endif
