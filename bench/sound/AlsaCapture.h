// What Wine's DirectSound sent to the sound card, read back from the WAV file
// that ALSA's file device writes when HOME/.asoundrc names it as the default
// output, and a proper WAV file written from it (bench/sound/WavFile.h).
// ALSA's header says 32-bit PCM while the samples are Wine's floats, so a
// player would read the file as noise: the bench rewrites it as 16-bit PCM.
#ifndef LUMIVANE_BENCH_RECORDING_H
#define LUMIVANE_BENCH_RECORDING_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

struct CapturedSound {
    uint32_t Rate = 0;
    uint32_t Channels = 0;
    std::vector<float> Samples; // first channel, full scale 1.0
    std::vector<float> Frames;  // every channel, interleaved
    std::string Problem;        // empty when the file was read
};

CapturedSound ReadCapture(const std::string& path);
// The same reading over bytes already in memory, which is what ReadCapture
// does with the file's bytes; `Problem` says what is wrong with them.
CapturedSound ParseCapture(const uint8_t* bytes, size_t size);

// Appends `more` to `into` (same rate and channels, or `into` still empty).
void AppendCapture(CapturedSound* into, const CapturedSound& more);

// 16-bit PCM at the recording's rate and channels; true on success.
bool WriteCaptureWav(const CapturedSound& r, const std::string& path);

#endif
