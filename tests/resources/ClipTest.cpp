// The two clips as the module carries them: the canonical 44-byte header,
// where the beeps lie in the silence, and the beep's own figures (level,
// peaks and where its energy lies) measured from the samples.
#include "ResourceImage.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>
#include <vector>

namespace {

const DWORD HeaderBytes = 44;
const size_t BeepSamples = 694;
const double SampleRate = 11025;

std::vector<int> Samples(const ResourceImage& clip)
{
    return std::vector<int>(clip.Bytes + HeaderBytes, clip.Bytes + clip.Size);
}

void ExpectCanonicalHeader(const ResourceImage& clip, DWORD samples, const char* name)
{
    ASSERT_NE(clip.Bytes, nullptr) << name << " not found";
    ASSERT_EQ(clip.Size, HeaderBytes + samples) << "SizeofResource of " << name;
    EXPECT_EQ(memcmp(clip.Bytes, "RIFF", 4), 0) << name;
    EXPECT_EQ(clip.U32(4), samples + 36) << "RIFF size of " << name;
    EXPECT_EQ(memcmp(clip.Bytes + 8, "WAVEfmt ", 8), 0) << name;
    EXPECT_EQ(clip.U32(16), 16u) << "format length of " << name;
    EXPECT_EQ(clip.U16(20), 1) << "format tag (PCM) of " << name;
    EXPECT_EQ(clip.U16(22), 1) << "channels of " << name;
    EXPECT_EQ(clip.U32(24), 11025u) << "samples per second of " << name;
    EXPECT_EQ(clip.U32(28), 11025u) << "average bytes per second of " << name;
    EXPECT_EQ(clip.U16(32), 1) << "block align of " << name;
    EXPECT_EQ(clip.U16(34), 8) << "bits per sample of " << name;
    EXPECT_EQ(memcmp(clip.Bytes + 36, "data", 4), 0) << name;
    EXPECT_EQ(clip.U32(40), samples) << "data length of " << name;
}

// Silence (128) everywhere except [first, first + 694) for each beep.
void ExpectSilenceAround(const std::vector<int>& samples, std::initializer_list<size_t> beeps, const char* name)
{
    for (size_t n = 0; n < samples.size(); ++n) {
        bool inBeep = false;
        for (size_t first : beeps)
            inBeep = inBeep || (n >= first && n < first + BeepSamples);
        if (!inBeep)
            ASSERT_EQ(samples[n], 128) << name << " sample " << n << " should be silence";
    }
    // No fade: the beep is at full level from its first sample to its last.
    for (size_t first : beeps) {
        EXPECT_NE(samples[first], 128) << name << " beep starting at " << first << " fades in";
        EXPECT_NE(samples[first + BeepSamples - 1], 128) << name << " beep ending at " << first + BeepSamples - 1
                                                         << " fades out";
    }
}

// Share of the beep's energy (about the midpoint) within 100 Hz of `hertz`.
double EnergyShareNear(const std::vector<int>& beep, double hertz)
{
    const double pi = 3.14159265358979323846;
    const size_t count = beep.size();
    double total = 0;
    for (int sample : beep)
        total += double(sample - 128) * (sample - 128);
    double band = 0;
    for (size_t k = 1; k < count / 2; ++k) {
        if (fabs(double(k) * SampleRate / double(count) - hertz) > 100)
            continue;
        double re = 0, im = 0;
        for (size_t n = 0; n < count; ++n) {
            const double angle = 2 * pi * double(k) * double(n) / double(count);
            re += (beep[n] - 128) * cos(angle);
            im -= (beep[n] - 128) * sin(angle);
        }
        // Each bin below half the rate stands for itself and its mirror.
        band += 2 * (re * re + im * im);
    }
    // Parseval: the spectrum's energy is count times the samples' energy.
    return band / (double(count) * total);
}

} // namespace

TEST(Clips, HeadersAreCanonical)
{
    ExpectCanonicalHeader(ResourceImage::Find("WAVE1", RT_RCDATA), 2924, "WAVE1");
    ExpectCanonicalHeader(ResourceImage::Find("WAVE2", RT_RCDATA), 3784, "WAVE2");
}

TEST(Clips, Wave1IsOneBeepAtSample3)
{
    const ResourceImage clip = ResourceImage::Find("WAVE1", RT_RCDATA);
    ASSERT_EQ(clip.Size, HeaderBytes + 2924);
    ExpectSilenceAround(Samples(clip), {3}, "WAVE1");
}

TEST(Clips, Wave2IsTheSameBeepTwice)
{
    const ResourceImage one = ResourceImage::Find("WAVE1", RT_RCDATA);
    const ResourceImage two = ResourceImage::Find("WAVE2", RT_RCDATA);
    ASSERT_EQ(one.Size, HeaderBytes + 2924);
    ASSERT_EQ(two.Size, HeaderBytes + 3784);
    const std::vector<int> first = Samples(one), second = Samples(two);
    ExpectSilenceAround(second, {3, 1623}, "WAVE2");
    for (size_t n = 0; n < 1623; ++n)
        ASSERT_EQ(second[n], first[n]) << "WAVE2 differs from WAVE1 at sample " << n;
    for (size_t n = 0; n < BeepSamples; ++n)
        ASSERT_EQ(second[1623 + n], first[3 + n]) << "the second beep differs from the first at beep sample " << n;
}

TEST(Clips, BeepLevelAndPeaks)
{
    const ResourceImage clip = ResourceImage::Find("WAVE1", RT_RCDATA);
    ASSERT_EQ(clip.Size, HeaderBytes + 2924);
    const std::vector<int> samples = Samples(clip);
    const std::vector<int> beep(samples.begin() + 3, samples.begin() + 3 + BeepSamples);
    double energy = 0;
    int lowest = 0, highest = 0;
    for (int sample : beep) {
        energy += double(sample - 128) * (sample - 128);
        lowest = sample - 128 < lowest ? sample - 128 : lowest;
        highest = sample - 128 > highest ? sample - 128 : highest;
    }
    const double rms = sqrt(energy / double(beep.size()));
    EXPECT_NEAR(rms, 8.0, 0.5) << "RMS about the midpoint";
    EXPECT_EQ(lowest, -21) << "lowest peak";
    EXPECT_EQ(highest, 18) << "highest peak";
}

TEST(Clips, BeepEnergyLiesNearItsThreeFrequencies)
{
    const ResourceImage clip = ResourceImage::Find("WAVE1", RT_RCDATA);
    ASSERT_EQ(clip.Size, HeaderBytes + 2924);
    const std::vector<int> samples = Samples(clip);
    const std::vector<int> beep(samples.begin() + 3, samples.begin() + 3 + BeepSamples);
    const double main = EnergyShareNear(beep, 2220), upper = EnergyShareNear(beep, 4370),
                 lower = EnergyShareNear(beep, 1160);
    EXPECT_NEAR(main, 0.75, 0.03) << "share near 2.22 kHz";
    EXPECT_NEAR(upper, 1.0 / 7, 0.015) << "share near 4.37 kHz";
    EXPECT_NEAR(lower, 0.04, 0.01) << "share near 1.16 kHz";
    RecordProperty("ShareNear2220Hz", std::to_string(main));
    RecordProperty("ShareNear4370Hz", std::to_string(upper));
    RecordProperty("ShareNear1160Hz", std::to_string(lower));
}
