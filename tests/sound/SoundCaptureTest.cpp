// The sound layer on Wine's real DirectSound (windows build only): LoadSounds,
// one play of "Wave1", and what reached the sound card, recorded by ALSA's
// file device that the test's HOME/.asoundrc names as the default output. The
// recording must hold exactly one beep of about 63 ms (694 samples at
// 11025 Hz); the clip's silent tail is silence and must not count.
#include "sound/SoundObjects.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// The recording sits beside this program, in the folder the test's HOME
// names (tests/sound/CMakeLists.txt). The program's own path is already in
// Windows form, so no Unix path has to be translated.
std::string CapturePath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + "capture-home\\capture.wav";
}

uint32_t Little32(const std::vector<BYTE>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t Little16(const std::vector<BYTE>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

struct Recording {
    uint32_t Rate = 0;
    std::vector<float> Samples;  // first channel, full scale 1.0
    std::string Problem;
};

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

struct Burst {
    size_t First;
    size_t Last;
};

// Runs of sound, taken to be one as long as they are never silent for more
// than 5 ms: the beep's own zero crossings are far shorter than that.
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

} // namespace

TEST(SoundCapture, OnePlayOfWave1IsOneBeepOf63Ms)
{
    const std::string capture = CapturePath();
    DeleteFileA(capture.c_str());

    LoadSounds(SoundList);
    if (!SoundDevice)
        GTEST_SKIP() << "No DirectSound device: Wine found no ALSA output. HOME must name the folder "
                        "with the .asoundrc that tests/sound/CMakeLists.txt writes.";
    ASSERT_NE(Wave1Sound.Object, nullptr) << "\"Wave1\" on Wine's DirectSound";
    ASSERT_NE(Wave2Sound.Object, nullptr) << "\"Wave2\" on Wine's DirectSound";
    ASSERT_EQ(PlaySoundObject(Wave1Sound.Object, 0), 1);
    EXPECT_EQ(PlaySoundObject(Wave1Sound.Object, 0), 0) << "a second request while the first sounds";

    // The file device is not paced in real time, so a second is more than
    // enough for the 265 ms clip to pass through the mixer.
    Sleep(1000);
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoundDevice, nullptr);

    Recording r = ReadRecording(capture);
    ASSERT_TRUE(r.Problem.empty()) << r.Problem;
    ASSERT_GT(r.Rate, 0u);
    // The beep peaks near -18 dB; -40 dB leaves the resampler's ringing out.
    std::vector<Burst> bursts = FindBursts(r, 0.01f);
    ASSERT_EQ(bursts.size(), 1u) << "beeps in " << r.Samples.size() << " recorded samples at " << r.Rate << " Hz";
    double ms = (bursts[0].Last - bursts[0].First + 1) * 1000.0 / r.Rate;
    printf("Recorded one beep of %.1f ms (%zu samples at %u Hz), %zu samples in all\n", ms,
        bursts[0].Last - bursts[0].First + 1, static_cast<unsigned>(r.Rate), r.Samples.size());
    RecordProperty("BeepMilliseconds", std::to_string(ms));
    // 694 samples at 11025 Hz are 62.9 ms. Wine 8's DirectSound leaves the
    // first 29 or so source samples of a started buffer out of its output
    // (the recording lines up with the clip from sample 32 on), so Wine
    // records about 60.3 ms: the beep's full length less 2.6 ms at its start.
    EXPECT_NEAR(ms, 62.9, 4.0);
}
