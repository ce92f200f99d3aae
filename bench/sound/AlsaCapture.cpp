// Reading ALSA's file-device recordings and writing WAV files players read.
// The header may say 32-bit PCM while the samples are Wine's floats; see
// ReadRecording.
#include "bench/sound/AlsaCapture.h"

#include "bench/files/Files.h"

#include "bench/sound/RiffChunks.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// A capture is Wine's floats at 48 kHz in stereo, 384 KB a second: this is
// over ten minutes of one pass's worth of capture, which is read in parts.
const size_t MostCaptureBytes = 256u << 20;

void PutLittle(FILE* file, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

// The canonical 44-byte header of 16-bit PCM.
void PutHeader(FILE* file, uint32_t rate, uint32_t channels, uint32_t dataBytes)
{
    fwrite("RIFF", 1, 4, file);
    PutLittle(file, 36 + dataBytes, 4);
    fwrite("WAVEfmt ", 1, 8, file);
    PutLittle(file, 16, 4);
    PutLittle(file, 1, 2); // PCM
    PutLittle(file, channels, 2);
    PutLittle(file, rate, 4);
    PutLittle(file, rate * channels * 2, 4);
    PutLittle(file, channels * 2, 2);
    PutLittle(file, 16, 2);
    fwrite("data", 1, 4, file);
    PutLittle(file, dataBytes, 4);
}

int16_t ToSixteen(float v)
{
    float scaled = v * 32767.0f;
    if (!(scaled > -32768.0f))
        return -32768;
    if (scaled > 32767.0f)
        return 32767;
    return static_cast<int16_t>(lrintf(scaled));
}

} // namespace

Recording ReadRecording(const std::string& path)
{
    Recording r;
    std::vector<uint8_t> b;
    if (!ReadWholeFile(path, &b, &r.Problem, MostCaptureBytes))
        return r;
    if (!IsRiffWave(b.data(), b.size())) {
        r.Problem = "the recording is no RIFF/WAVE file";
        return r;
    }
    uint16_t tag = 0, channels = 0, bits = 0;
    RiffChunk chunk;
    for (size_t at = 12; NextRiffChunk(b.data(), b.size(), &at, &chunk);) {
        if (chunk.Is("fmt ") && chunk.Present >= 16) {
            tag = Little16(chunk.Body);
            channels = Little16(chunk.Body + 2);
            r.Rate = Little32(chunk.Body + 4);
            bits = Little16(chunk.Body + 14);
        } else if (chunk.Is("data")) {
            // A recording cut short keeps whatever reached the file; so does
            // one whose device was never closed, whose size still says 0.
            const uint8_t* body = chunk.Body;
            const size_t bytes = chunk.Declared ? chunk.Present : size_t(b.data() + b.size() - body);
            size_t frame = static_cast<size_t>(channels) * bits / 8;
            if (!channels || !frame || !r.Rate) {
                r.Problem = "no usable format chunk before the data";
                return r;
            }
            r.Channels = channels;
            for (size_t p = 0; p + frame <= bytes; p += frame) {
                for (uint16_t c = 0; c < channels; ++c) {
                    float v;
                    const uint8_t* q = body + p + size_t(c) * bits / 8;
                    if (bits == 32) {
                        // ALSA's file device writes Wine's float samples under
                        // a header that says 32-bit PCM, so 32 bits are read
                        // as float whatever the format tag claims.
                        memcpy(&v, q, 4);
                    } else if (bits == 16) {
                        v = static_cast<int16_t>(Little16(q)) / 32768.0f;
                    } else {
                        r.Problem = "recorded in " + std::to_string(bits) + "-bit samples, format tag " +
                            std::to_string(tag);
                        return r;
                    }
                    r.Frames.push_back(v);
                    if (c == 0)
                        r.Samples.push_back(v);
                }
            }
            return r;
        }
    }
    r.Problem = "the recording has no data chunk";
    return r;
}

void AppendRecording(Recording* into, const Recording& more)
{
    if (!more.Problem.empty() || !more.Channels)
        return;
    if (!into->Channels) {
        into->Rate = more.Rate;
        into->Channels = more.Channels;
    }
    if (into->Rate != more.Rate || into->Channels != more.Channels)
        return;
    into->Samples.insert(into->Samples.end(), more.Samples.begin(), more.Samples.end());
    into->Frames.insert(into->Frames.end(), more.Frames.begin(), more.Frames.end());
}

bool WriteRecordingWav(const Recording& r, const std::string& path)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    uint32_t channels = r.Channels ? r.Channels : 1;
    uint32_t rate = r.Rate ? r.Rate : 48000;
    PutHeader(file, rate, channels, uint32_t(r.Frames.size() * 2));
    for (float v : r.Frames)
        PutLittle(file, static_cast<uint16_t>(ToSixteen(v)), 2);
    bool good = !ferror(file);
    return fclose(file) == 0 && good;
}

bool WriteMonoWav(const std::vector<SoundStretch>& stretches, uint64_t total, uint32_t rate,
                  const std::string& path)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    // The data chunk's size is 32 bits: a track longer than that is cut.
    if (total > 0x7FFFFFF0u / 2)
        total = 0x7FFFFFF0u / 2;
    PutHeader(file, rate, 1, uint32_t(total * 2));
    uint8_t block[8192];
    size_t used = 0;
    auto put = [&](int16_t sample) {
        block[used++] = uint8_t(uint16_t(sample) & 0xFF);
        block[used++] = uint8_t(uint16_t(sample) >> 8);
        if (used == sizeof block) {
            fwrite(block, 1, used, file);
            used = 0;
        }
    };
    uint64_t at = 0;
    for (const SoundStretch& stretch : stretches) {
        for (; at < stretch.Start && at < total; ++at)
            put(0);
        for (size_t i = 0; i < stretch.Count && at < total; ++i, ++at)
            put(stretch.Samples[i]);
    }
    for (; at < total; ++at)
        put(0);
    fwrite(block, 1, used, file);
    bool good = !ferror(file);
    return fclose(file) == 0 && good;
}

std::vector<Burst> FindStretchBursts(const std::vector<SoundStretch>& stretches, uint32_t rate, float threshold)
{
    std::vector<Burst> bursts;
    const uint64_t gap = rate / 200;
    const int limit = int(threshold * 32768.0f);
    for (const SoundStretch& stretch : stretches)
        for (size_t i = 0; i < stretch.Count; ++i) {
            int v = stretch.Samples[i];
            if (v < limit && v > -limit)
                continue;
            size_t at = size_t(stretch.Start + i);
            if (!bursts.empty() && at - bursts.back().Last <= gap)
                bursts.back().Last = at;
            else
                bursts.push_back({at, at});
        }
    return bursts;
}

// The beep's own zero crossings are far shorter than the 5 ms bridged here.
std::vector<Burst> FindBursts(const Recording& r, float threshold)
{
    std::vector<Burst> bursts;
    const size_t gap = r.Rate / 200;
    for (size_t i = 0; i < r.Samples.size(); ++i) {
        if (fabsf(r.Samples[i]) < threshold)
            continue;
        if (!bursts.empty() && i - bursts.back().Last <= gap)
            bursts.back().Last = i;
        else
            bursts.push_back({i, i});
    }
    return bursts;
}
