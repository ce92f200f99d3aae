// The bench's one writer of WAV files: 16-bit PCM with the canonical 44-byte
// header, which every player reads. Its sizes are held within what a RIFF
// file can say (32 bits), so the file is valid however long the sound: a
// longer one is cut at that length, never written with a wrapped size.
#ifndef LUMIVANE_BENCH_SOUND_WAVFILE_H
#define LUMIVANE_BENCH_SOUND_WAVFILE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

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

// A 16-bit PCM WAV file written as a run goes, so that an hour's sound is
// never held in memory: samples and silence are appended, and the sizes in
// the header are written when it is closed. Past what a RIFF file can say
// the rest is left out, as WriteWav cuts it.
class WavWriter {
public:
    ~WavWriter();
    // False when `path` cannot be written.
    bool Open(const std::string& path, uint32_t rate, uint32_t channels);
    void Append(const int16_t* samples, size_t count);
    void AppendSilence(uint64_t count);
    // Samples written so far (not frames).
    uint64_t Written() const { return written_; }
    // Sets the sizes and closes the file; false when anything failed.
    bool Close();

private:
    void Flush();

    FILE* file_ = nullptr;
    uint32_t channels_ = 1;
    uint64_t written_ = 0;
    bool failed_ = false;
    uint8_t block_[8192];
    size_t used_ = 0;
};

// A float sample of full scale 1.0 as 16 bits, held at the limits (NaN: 0).
int16_t ToSixteen(float v);

#endif
