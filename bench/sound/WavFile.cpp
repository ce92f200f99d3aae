// Samples are written through a block buffer: a run's track can be minutes
// long, and a call per byte would dominate writing it.
#include "bench/sound/WavFile.h"

#include <math.h>
#include <stdio.h>

namespace {

// The data chunk's size and the RIFF size (data + 36) must fit 32 bits.
const uint64_t MostDataBytes = 0xFFFFFFFFull - 36 - 1;

void PutLittle(uint8_t* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

} // namespace

int16_t ToSixteen(float v)
{
    float scaled = v * 32767.0f;
    if (scaled != scaled)
        return 0;
    if (!(scaled > -32768.0f))
        return -32768;
    if (scaled > 32767.0f)
        return 32767;
    return static_cast<int16_t>(lrintf(scaled));
}

bool WriteWav(const std::string& path, uint32_t rate, uint32_t channels, uint64_t frames,
    const std::function<int16_t(uint64_t)>& sample)
{
    if (!channels || channels > 8 || !rate)
        return false;
    const uint64_t frameBytes = uint64_t(channels) * 2;
    if (frames > MostDataBytes / frameBytes)
        frames = MostDataBytes / frameBytes;
    const uint32_t dataBytes = uint32_t(frames * frameBytes);
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    uint8_t header[44];
    PutLittle(header, 0x46464952, 4); // "RIFF"
    PutLittle(header + 4, 36 + dataBytes, 4);
    PutLittle(header + 8, 0x45564157, 4); // "WAVE"
    PutLittle(header + 12, 0x20746D66, 4); // "fmt "
    PutLittle(header + 16, 16, 4);
    PutLittle(header + 20, 1, 2); // PCM
    PutLittle(header + 22, channels, 2);
    PutLittle(header + 24, rate, 4);
    PutLittle(header + 28, uint32_t(uint64_t(rate) * frameBytes), 4);
    PutLittle(header + 32, uint32_t(frameBytes), 2);
    PutLittle(header + 34, 16, 2);
    PutLittle(header + 36, 0x61746164, 4); // "data"
    PutLittle(header + 40, dataBytes, 4);
    fwrite(header, 1, sizeof header, file);
    uint8_t block[8192];
    size_t used = 0;
    const uint64_t samples = frames * channels;
    for (uint64_t i = 0; i < samples; ++i) {
        PutLittle(block + used, uint16_t(sample(i)), 2);
        used += 2;
        if (used == sizeof block) {
            fwrite(block, 1, used, file);
            used = 0;
        }
    }
    fwrite(block, 1, used, file);
    bool good = !ferror(file);
    return fclose(file) == 0 && good;
}

bool WriteMonoWav(const std::vector<SoundStretch>& stretches, uint64_t total, uint32_t rate,
    const std::string& path)
{
    // Asked in increasing order: one cursor walks the stretches.
    size_t next = 0;
    return WriteWav(path, rate, 1, total, [&](uint64_t at) -> int16_t {
        while (next < stretches.size() && stretches[next].Start + stretches[next].Count <= at)
            ++next;
        if (next < stretches.size() && at >= stretches[next].Start)
            return stretches[next].Samples[at - stretches[next].Start];
        return 0;
    });
}
