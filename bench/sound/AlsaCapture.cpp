// Reading ALSA's file-device recordings and writing WAV files players read.
// The header may say 32-bit PCM while the samples are Wine's floats; see
// ReadCapture.
#include "bench/sound/AlsaCapture.h"

#include "bench/files/Files.h"
#include "bench/sound/WavFile.h"

#include "bench/sound/RiffChunks.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// A capture is Wine's floats at 48 kHz in stereo, 384 KB a second: this is
// over ten minutes of one pass's worth of capture, which is read in parts.
const size_t MostCaptureBytes = 256u << 20;

} // namespace

CapturedSound ReadCapture(const std::string& path)
{
    CapturedSound r;
    std::vector<uint8_t> b;
    if (!ReadWholeFile(path, &b, &r.Problem, MostCaptureBytes))
        return r;
    return ParseCapture(b.data(), b.size());
}

CapturedSound ParseCapture(const uint8_t* bytes, size_t size)
{
    CapturedSound r;
    if (!bytes || !IsRiffWave(bytes, size)) {
        r.Problem = "the recording is no RIFF/WAVE file";
        return r;
    }
    uint16_t tag = 0, channels = 0, bits = 0;
    RiffChunk chunk;
    for (size_t at = 12; NextRiffChunk(bytes, size, &at, &chunk);) {
        if (chunk.Is("fmt ") && chunk.Present >= 16) {
            tag = Little16(chunk.Body);
            channels = Little16(chunk.Body + 2);
            r.Rate = Little32(chunk.Body + 4);
            bits = Little16(chunk.Body + 14);
        } else if (chunk.Is("data")) {
            // A recording cut short keeps whatever reached the file; so does
            // one whose device was never closed, whose size still says 0.
            const uint8_t* body = chunk.Body;
            const size_t length = chunk.Declared ? chunk.Present : size_t(bytes + size - body);
            size_t frame = static_cast<size_t>(channels) * bits / 8;
            if (!channels || !frame || !r.Rate) {
                r.Problem = "no usable format chunk before the data";
                return r;
            }
            r.Channels = channels;
            for (size_t p = 0; p + frame <= length; p += frame) {
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

void AppendCapture(CapturedSound* into, const CapturedSound& more)
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

bool WriteCaptureWav(const CapturedSound& r, const std::string& path)
{
    uint32_t channels = r.Channels ? r.Channels : 1;
    uint32_t rate = r.Rate ? r.Rate : 48000;
    return WriteWav(path, rate, channels, r.Frames.size() / channels,
        [&](uint64_t i) { return ToSixteen(r.Frames[size_t(i)]); });
}

