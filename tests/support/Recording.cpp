// Reading ALSA's file-device recordings. The header may say 32-bit PCM while
// the samples are Wine's floats; see ReadRecording.
#include "Recording.h"

#include "ProgramFolder.h"

#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

uint32_t Little32(const std::vector<BYTE>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t Little16(const std::vector<BYTE>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

} // namespace

Recording ReadRecording(const std::string& path)
{
    Recording r;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        r.Problem = "no recording at " + path;
        return r;
    }
    std::vector<BYTE> b;
    int c;
    while ((c = fgetc(file)) != EOF)
        b.push_back(static_cast<BYTE>(c));
    fclose(file);
    if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) != 0 || memcmp(b.data() + 8, "WAVE", 4) != 0) {
        r.Problem = "the recording is no RIFF/WAVE file";
        return r;
    }
    uint16_t tag = 0, channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = Little32(b, at + 4);
        size_t body = at + 8;
        if (memcmp(b.data() + at, "fmt ", 4) == 0 && body + 16 <= b.size()) {
            tag = Little16(b, body);
            channels = Little16(b, body + 2);
            r.Rate = Little32(b, body + 4);
            bits = Little16(b, body + 14);
        } else if (memcmp(b.data() + at, "data", 4) == 0) {
            // A recording cut short keeps whatever reached the file.
            size_t end = size <= b.size() - body ? body + size : b.size();
            size_t frame = static_cast<size_t>(channels) * bits / 8;
            if (!channels || !frame || !r.Rate) {
                r.Problem = "no usable format chunk before the data";
                return r;
            }
            for (size_t p = body; p + frame <= end; p += frame) {
                if (bits == 32) {
                    // ALSA's file device writes Wine's float samples under a
                    // header that says 32-bit PCM, so 32 bits are read as
                    // float whatever the format tag claims.
                    float v;
                    memcpy(&v, b.data() + p, 4);
                    r.Samples.push_back(v);
                } else if (bits == 16) {
                    r.Samples.push_back(static_cast<int16_t>(Little16(b, p)) / 32768.0f);
                } else {
                    r.Problem = "recorded in " + std::to_string(bits) + "-bit samples, format tag " +
                        std::to_string(tag);
                    return r;
                }
            }
            return r;
        }
        at = body + size + (size & 1);
    }
    r.Problem = "the recording has no data chunk";
    return r;
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


std::string CaptureBesideProgram(const char* home)
{
    return ProgramFolder() + home + "\\capture.wav";
}
