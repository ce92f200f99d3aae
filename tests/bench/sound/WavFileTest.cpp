// The bench's WAV writer against an independent reading of what it wrote:
// every header field at its offset, the samples in order, for the channel
// counts and rates it takes, and nothing written for those it refuses (no
// channels, more than eight, no rate). In both builds.
#include "bench/sound/WavFile.h"

#include "bench/files/Files.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

namespace {

uint32_t At(const std::string& bytes, size_t offset, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | uint8_t(bytes[offset + size_t(i)]);
    return v;
}

TEST(WavFile, WritesEveryFieldForWhatItTakesAndNothingForWhatItRefuses)
{
    const struct {
        uint32_t rate, channels;
        uint64_t frames;
        bool written;
    } rows[] = {
        {11025, 1, 7, true}, {44100, 2, 5000, true}, {8000, 8, 3, true}, {1, 1, 0, true},
        {11025, 0, 7, false}, {11025, 9, 7, false}, {0, 1, 7, false}, {0, 9, 7, false},
    };
    for (const auto& r : rows) {
        const std::string path = AbsolutePath("wav-file-test.wav");
        remove(path.c_str());
        const bool wrote = WriteWav(path, r.rate, r.channels, r.frames,
            [](uint64_t i) { return int16_t(int64_t(i * 7919 % 65536) - 32768); });
        EXPECT_EQ(wrote, r.written) << r.rate << " Hz, " << r.channels << " channels";
        std::string bytes, problem;
        if (!r.written) {
            EXPECT_FALSE(ReadWholeFile(path, &bytes, &problem)) << "a file left for " << r.channels << " channels";
            continue;
        }
        ASSERT_TRUE(ReadWholeFile(path, &bytes, &problem)) << problem;
        const uint32_t data = uint32_t(r.frames * r.channels * 2);
        ASSERT_EQ(bytes.size(), 44u + data);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(At(bytes, 4, 4), 36u + data);
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(At(bytes, 16, 4), 16u);
        EXPECT_EQ(At(bytes, 20, 2), 1u) << "PCM";
        EXPECT_EQ(At(bytes, 22, 2), r.channels);
        EXPECT_EQ(At(bytes, 24, 4), r.rate);
        EXPECT_EQ(At(bytes, 28, 4), r.rate * r.channels * 2) << "bytes a second";
        EXPECT_EQ(At(bytes, 32, 2), r.channels * 2) << "block align";
        EXPECT_EQ(At(bytes, 34, 2), 16u);
        EXPECT_EQ(bytes.substr(36, 4), "data");
        EXPECT_EQ(At(bytes, 40, 4), data);
        for (uint64_t i = 0; i < r.frames * r.channels; ++i)
            ASSERT_EQ(int16_t(At(bytes, 44 + size_t(i) * 2, 2)), int16_t(int64_t(i * 7919 % 65536) - 32768))
                << "sample " << i;
    }
}

} // namespace
