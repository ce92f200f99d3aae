// Samples are written through a block buffer: a run's track can be minutes
// long, and a call per byte would dominate writing it.
#include "bench/sound/WavFile.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

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

namespace {

// The canonical header of 16-bit PCM at `rate` and `channels`, with
// `dataBytes` of samples.
void Header(uint8_t* header, uint32_t rate, uint32_t channels, uint32_t dataBytes)
{
    const uint64_t frameBytes = uint64_t(channels) * 2;
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
}

} // namespace

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
    Header(header, rate, channels, dataBytes);
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

WavWriter::~WavWriter()
{
    Close();
}

bool WavWriter::Open(const std::string& path, uint32_t rate, uint32_t channels)
{
    Close();
    if (!channels || channels > 8 || !rate)
        return false;
    file_ = fopen(path.c_str(), "wb");
    if (!file_)
        return false;
    channels_ = channels;
    written_ = 0;
    used_ = 0;
    failed_ = false;
    // The sizes are written at the end; until then the header says none.
    uint8_t header[44];
    Header(header, rate, channels, 0);
    failed_ = fwrite(header, 1, sizeof header, file_) != sizeof header;
    return true;
}

void WavWriter::Append(const int16_t* samples, size_t count)
{
    for (size_t i = 0; file_ && i < count && written_ < MostDataBytes / 2; ++i, ++written_) {
        PutLittle(block_ + used_, uint16_t(samples[i]), 2);
        used_ += 2;
        if (used_ == sizeof block_)
            Flush();
    }
}

// A day's silence is a thousand million samples: written a block at a time.
void WavWriter::AppendSilence(uint64_t count)
{
    while (count > 0 && file_ && written_ < MostDataBytes / 2) {
        uint64_t part = (sizeof block_ - used_) / 2;
        part = part < count ? part : count;
        part = part < MostDataBytes / 2 - written_ ? part : MostDataBytes / 2 - written_;
        memset(block_ + used_, 0, size_t(part) * 2);
        used_ += size_t(part) * 2;
        written_ += part;
        count -= part;
        if (used_ == sizeof block_)
            Flush();
    }
}

void WavWriter::Flush()
{
    if (file_ && used_ && fwrite(block_, 1, used_, file_) != used_)
        failed_ = true;
    used_ = 0;
}

bool WavWriter::Close()
{
    if (!file_)
        return false;
    Flush();
    // Whole frames only: a file cut at the RIFF limit ends on a frame.
    const uint64_t dataBytes = written_ / channels_ * channels_ * 2;
    uint8_t sizes[4];
    PutLittle(sizes, uint32_t(36 + dataBytes), 4);
    failed_ = failed_ || fseek(file_, 4, SEEK_SET) != 0 || fwrite(sizes, 1, 4, file_) != 4;
    PutLittle(sizes, uint32_t(dataBytes), 4);
    failed_ = failed_ || fseek(file_, 40, SEEK_SET) != 0 || fwrite(sizes, 1, 4, file_) != 4;
    failed_ = failed_ || ferror(file_);
    const bool closed = fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}
