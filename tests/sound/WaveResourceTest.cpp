// The wave resource reader over the clips the module really carries, and over
// small hand-made images for the walk's rules. The same source runs against
// the real resource calls (windows build, under Wine) and the native
// stand-ins, so both must find the same bytes the same way.
#include "sound/WaveResource.h"

#include "WaveResourceImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Resource {
    const BYTE* Image;
    DWORD Bytes;
};

// The image as the platform maps it; the program itself is the module.
Resource Find(LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found)
        return {nullptr, 0};
    HGLOBAL loaded = LoadResource(nullptr, found);
    return {loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr, SizeofResource(nullptr, found)};
}

struct Outputs {
    WAVEFORMATEX* Format = nullptr;
    BYTE* Data = nullptr;
    DWORD Length = 0;
};

// Values no walk would produce, to see which outputs a call leaves alone.
WAVEFORMATEX* const UntouchedFormat = reinterpret_cast<WAVEFORMATEX*>(0x10);
BYTE* const UntouchedData = reinterpret_cast<BYTE*>(0x20);
const DWORD UntouchedLength = 0xDEADBEEF;

} // namespace

// Each clip the module carries is found by its name in any case, its
// format read in place at offset 20 and its samples at 44: PCM, mono,
// 11025 Hz, 8-bit.
TEST(ReadWaveResource, FindsEachClipInPlaceByItsNameInAnyCase)
{
    const struct {
        const char* resource;
        std::vector<const char*> names;
        DWORD bytes, length;
    } clips[] = {
        {"WAVE1", {"Wave1", "WAVE1", "wave1", "wAvE1"}, 2968, 2924},
        {"WAVE2", {"Wave2", "wave2"}, 3828, 3784},
    };
    for (const auto& clip : clips) {
        const Resource wave = Find(clip.resource, RT_RCDATA);
        ASSERT_NE(wave.Image, nullptr) << "FindResourceA(null, \"" << clip.resource << "\", RT_RCDATA)";
        EXPECT_EQ(wave.Bytes, clip.bytes) << "SizeofResource of " << clip.resource;
        for (const char* name : clip.names) {
            Outputs out;
            EXPECT_EQ(ReadWaveResource(nullptr, name, &out.Format, &out.Data, &out.Length), 1) << name;
            EXPECT_EQ(reinterpret_cast<const BYTE*>(out.Format), wave.Image + 20) << name;
            EXPECT_EQ(out.Data, wave.Image + 44) << name;
            EXPECT_EQ(out.Length, clip.length) << name;
            ASSERT_NE(out.Format, nullptr) << name;
            EXPECT_EQ(out.Format->wFormatTag, WAVE_FORMAT_PCM) << name;
            EXPECT_EQ(out.Format->nChannels, 1) << name;
            EXPECT_EQ(out.Format->nSamplesPerSec, 11025u) << name;
            EXPECT_EQ(out.Format->nAvgBytesPerSec, 11025u) << name;
            EXPECT_EQ(out.Format->nBlockAlign, 1) << name;
            EXPECT_EQ(out.Format->wBitsPerSample, 8) << name;
        }
    }
}

TEST(ReadWaveResource, MissingNameReturns0AndLeavesTheOutputsAlone)
{
    for (const char* name : {"Wave3", "Wave", "Wave12", "WAVE1 ", ""}) {
        Outputs out;
        out.Format = UntouchedFormat;
        out.Data = UntouchedData;
        out.Length = UntouchedLength;
        EXPECT_EQ(ReadWaveResource(nullptr, name, &out.Format, &out.Data, &out.Length), 0) << "\"" << name << "\"";
        EXPECT_EQ(out.Format, UntouchedFormat) << name;
        EXPECT_EQ(out.Data, UntouchedData) << name;
        EXPECT_EQ(out.Length, UntouchedLength) << name;
    }
}

TEST(ReadWaveResource, BitmapsAreNotFoundAsWaves)
{
    // Only RT_RCDATA is searched, so the panel's bitmaps are not clips.
    for (int id : {4096, 8192, 12294}) {
        Outputs out;
        out.Length = UntouchedLength;
        EXPECT_EQ(ReadWaveResource(nullptr, MAKEINTRESOURCEA(id), &out.Format, &out.Data, &out.Length), 0) << id;
        EXPECT_EQ(out.Length, UntouchedLength) << id;
        EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA), nullptr) << "bitmap " << id << " as RCDATA";
        EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_BITMAP), nullptr) << "bitmap " << id << " as RT_BITMAP";
    }
    EXPECT_EQ(FindResourceA(nullptr, "WAVE1", RT_BITMAP), nullptr) << "a clip found as a bitmap";
    // The string form of an integer id names the same resource; the
    // characters just below and above the digits are none ("#40:," would be
    // 4096 were ':' and ',' read as digits), nor is a number past 16 bits.
    const struct {
        const char* name;
        bool found;
    } names[] = {{"#4096", true},  {"#04096", true},  {"#", false},
                 {"#40:,", false}, {"#40/6", false},  {"#69632", false}, {"4096", false}};
    for (const auto& n : names)
        EXPECT_EQ(FindResourceA(nullptr, n.name, RT_BITMAP) != nullptr, n.found) << n.name;
}

TEST(ReadWaveResource, NoOutputWantedStillReports1)
{
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave1", nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave3", nullptr, nullptr, nullptr), 0);
}

TEST(ReadWaveResource, EachOutputAlone)
{
    const Resource wave = Find("WAVE1", RT_RCDATA);
    ASSERT_NE(wave.Image, nullptr);
    WAVEFORMATEX* format = UntouchedFormat;
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave1", &format, nullptr, nullptr), 1);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(format), wave.Image + 20);
    BYTE* data = UntouchedData;
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave1", nullptr, &data, nullptr), 1);
    EXPECT_EQ(data, wave.Image + 44);
    DWORD length = UntouchedLength;
    EXPECT_EQ(ReadWaveResource(nullptr, "Wave1", nullptr, nullptr, &length), 1);
    EXPECT_EQ(length, 2924u);
}

TEST(ParseWaveChunks, ReturnsAtTheDataChunkOfTheEmbeddedClips)
{
    for (const char* name : {"WAVE1", "WAVE2"}) {
        const Resource wave = Find(name, RT_RCDATA);
        ASSERT_NE(wave.Image, nullptr) << name;
        Outputs out;
        EXPECT_EQ(ParseWaveChunks(wave.Image, wave.Bytes, &out.Format, &out.Data, &out.Length), 1) << name;

        // Were the walk to go on past the data chunk, the truncated chunk
        // header behind it would end the walk with 0.
        WaveImage longer;
        longer.Bytes.assign(wave.Image, wave.Image + wave.Bytes);
        longer.Bytes.insert(longer.Bytes.end(), {'j', 'u', 'n', 'k'});
        longer.SetRiffSize(DWORD(longer.Bytes.size() - 8 + 100));
        const Walk walk = longer.Parse();
        EXPECT_EQ(walk.Result, 1) << name << " with a cut-off chunk behind its data";
        EXPECT_EQ(walk.FormatAt, 20) << name;
        EXPECT_EQ(walk.DataAt, 44) << name;
        EXPECT_EQ(walk.Length, wave.Bytes - 44) << name;
    }
}

TEST(ParseWaveChunks, NoOutputWantedPassesOverEveryChunkAndReturns0)
{
    const Resource wave = Find("WAVE1", RT_RCDATA);
    ASSERT_NE(wave.Image, nullptr);
    EXPECT_EQ(ParseWaveChunks(wave.Image, wave.Bytes, nullptr, nullptr, nullptr), 0);
}

TEST(ParseWaveChunks, TheWalkEndsWithinTheResourcesRealSize)
{
    // The last byte of the clip is the last byte of its data chunk: one byte
    // less and the data chunk would reach past the image.
    const Resource wave = Find("WAVE1", RT_RCDATA);
    ASSERT_NE(wave.Image, nullptr);
    Outputs out;
    EXPECT_EQ(ParseWaveChunks(wave.Image, wave.Bytes, &out.Format, &out.Data, &out.Length), 1);
    EXPECT_EQ(ParseWaveChunks(wave.Image, wave.Bytes - 1, &out.Format, &out.Data, &out.Length), 0);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(out.Format), wave.Image + 20) << "the format found before stays set";
    EXPECT_EQ(out.Data, nullptr);
    EXPECT_EQ(out.Length, 0u);
}
