// The one reader of the module's clips and the matcher that names plays by
// them: one row for each way a clip's reading ends, with the boundaries where
// the gauge's own walk and DirectSound draw them, then the real module's two
// clips as the bench and the page read them, and plays named by their bytes
// whole, split across a lock's two regions, or not at all. Clips are found by
// their resource's name and known by their own, whatever the two are.
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/sound/ClipMatcher.h"
#include "bench/sound/ModuleClips.h"
#include "tests/bench/TestModule.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

// The module's clips as its reader names them.
const ModuleClipSource LumivaneClips[] = {{SingleBeepClip, SingleBeepResource}, {DoubleBeepClip, DoubleBeepResource}};

void Put32(Bytes* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(uint8_t(value >> (8 * i)));
}

void Put16(Bytes* out, uint16_t value)
{
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

Bytes Chunk(const char* tag, const Bytes& body, uint32_t declared)
{
    Bytes out(tag, tag + 4);
    Put32(&out, declared);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1)
        out.push_back(0);
    return out;
}

Bytes Chunk(const char* tag, const Bytes& body)
{
    return Chunk(tag, body, uint32_t(body.size()));
}

Bytes Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t length = 16)
{
    Bytes out;
    const uint16_t align = uint16_t(channels * bits / 8);
    Put16(&out, tag);
    Put16(&out, channels);
    Put32(&out, rate);
    Put32(&out, rate * align);
    Put16(&out, align);
    Put16(&out, bits);
    out.resize(length);
    return Chunk("fmt ", out);
}

const Bytes Samples = {0x80, 0x90, 0xA0, 0xB0, 0xC0};

// A RIFF/WAVE image of the chunks; riffSize 0 gives the true one.
Bytes Wave(const std::vector<Bytes>& chunks, uint32_t riffSize = 0)
{
    Bytes body;
    for (const Bytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes out = {'R', 'I', 'F', 'F'};
    Put32(&out, riffSize ? riffSize : uint32_t(4 + body.size()));
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Cut(Bytes bytes, size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

struct ClipCase {
    const char* What;
    Bytes Image;
    ClipReading Reading;
    uint32_t Rate;      // when usable
    uint16_t Channels;
    uint16_t Bits;
};

std::vector<ClipCase> Cases()
{
    const Bytes mono8 = Format(1, 1, 11025, 8);
    const Bytes data = Chunk("data", Samples);
    const Bytes list = Chunk("LIST", {'a', 'b', 'c'});
    return {
        {"format then data", Wave({mono8, data}), ClipUsable, 11025, 1, 8},
        {"data then format", Wave({data, mono8}), ClipUsable, 11025, 1, 8},
        {"an odd chunk and its pad first", Wave({list, mono8, data}), ClipUsable, 11025, 1, 8},
        {"16-bit stereo at 44100 Hz", Wave({Format(1, 2, 44100, 16), data}), ClipUsable, 44100, 2, 16},
        {"the lowest rate", Wave({Format(1, 1, 100, 8), data}), ClipUsable, 100, 1, 8},
        {"the highest rate", Wave({Format(1, 1, 100000, 8), data}), ClipUsable, 100000, 1, 8},
        {"an 18-byte format", Wave({Format(1, 1, 11025, 8, 18), data}), ClipUsable, 11025, 1, 8},
        {"empty data, then data", Wave({mono8, Chunk("data", {}), data}), ClipUsable, 11025, 1, 8},
        {"a chunk cut short after both", Cut(Wave({mono8, data, Chunk("LIST", Bytes(40))}), 20), ClipUsable,
            11025, 1, 8},
        {"the data's pad byte missing at the end", Cut(Wave({mono8, data}), 1), ClipUsable, 11025, 1, 8},
        {"a second, other format after the first", Wave({mono8, Format(2, 1, 11025, 4), data}), ClipUsable,
            11025, 1, 8},

        {"no bytes", {}, ClipNotWave, 0, 0, 0},
        {"11 bytes", Cut(Wave({}), 1), ClipNotWave, 0, 0, 0},
        {"RIFX", [] { Bytes b = Wave({Format(1, 1, 11025, 8), Chunk("data", Samples)}); b[3] = 'X'; return b; }(),
            ClipNotWave, 0, 0, 0},
        {"a chunk header cut short", Cut(Wave({mono8, data}), data.size() + 4), ClipCutShort, 0, 0, 0},
        {"the data cut short", Cut(Wave({mono8, data}), 3), ClipCutShort, 0, 0, 0},
        {"a chunk before the data past the end", Wave({mono8, Chunk("LIST", {}, 400), data}), ClipCutShort, 0, 0, 0},
        {"a chunk length that wraps", Wave({mono8, Chunk("LIST", {}, 0xFFFFFFF8u), data}), ClipCutShort, 0, 0, 0},
        {"a RIFF size beyond the image", Wave({mono8}, 4000), ClipCutShort, 0, 0, 0},
        {"the largest RIFF size", Wave({mono8}, 0xFFFFFFFFu), ClipCutShort, 0, 0, 0},
        {"no chunks", Wave({}), ClipNoFormat, 0, 0, 0},
        {"data alone", Wave({data}), ClipNoFormat, 0, 0, 0},
        {"a RIFF size that ends before the format", Wave({list, mono8, data}, 4 + 12), ClipNoFormat, 0, 0, 0},
        {"a 14-byte format", Wave({Format(1, 1, 11025, 8, 14), data}), ClipBadFormat, 0, 0, 0},
        {"ADPCM", Wave({Format(2, 1, 11025, 4), data}), ClipBadFormat, 0, 0, 0},
        {"no channels", Wave({Format(1, 0, 11025, 8), data}), ClipBadFormat, 0, 0, 0},
        {"three channels", Wave({Format(1, 3, 11025, 8), data}), ClipBadFormat, 0, 0, 0},
        {"24 bits", Wave({Format(1, 1, 11025, 24), data}), ClipBadFormat, 0, 0, 0},
        {"a rate below DirectSound's", Wave({Format(1, 1, 99, 8), data}), ClipBadFormat, 0, 0, 0},
        {"a rate above DirectSound's", Wave({Format(1, 1, 100001, 8), data}), ClipBadFormat, 0, 0, 0},
        {"a block align that disagrees", [] {
             Bytes f = Format(1, 2, 11025, 16);
             f[8 + 12] = 2;
             return Wave({f, Chunk("data", Samples)});
         }(), ClipBadFormat, 0, 0, 0},
        {"no data", Wave({mono8, list}), ClipNoSamples, 0, 0, 0},
        {"only empty data", Wave({mono8, Chunk("data", {})}), ClipNoSamples, 0, 0, 0},
    };
}

} // namespace

TEST(ModuleClips, EachReadingEndsAsTheGaugeAndDirectSoundDrawTheLine)
{
    for (const ClipCase& c : Cases()) {
        ModuleClip clip = {"Wave1", reinterpret_cast<const uint8_t*>(1), 1, 1, 1, 1};
        const ClipReading reading = ReadClipImage(c.Image.data(), c.Image.size(), &clip);
        EXPECT_EQ(reading, c.Reading) << c.What << ": " << DescribeClipReading(reading) << ", wanted "
                                      << DescribeClipReading(c.Reading);
        EXPECT_STREQ(clip.Name, "Wave1") << c.What << ": the name is kept";
        if (c.Reading != ClipUsable) {
            EXPECT_EQ(clip.Data, nullptr) << c.What << ": no samples";
            EXPECT_EQ(clip.Bytes + clip.Rate + clip.Channels + clip.Bits, 0u) << c.What << ": outputs cleared";
            continue;
        }
        ASSERT_NE(clip.Data, nullptr) << c.What;
        EXPECT_EQ(Bytes(clip.Data, clip.Data + clip.Bytes), Samples) << c.What << ": the first data with samples";
        EXPECT_EQ(clip.Rate, c.Rate) << c.What;
        EXPECT_EQ(clip.Channels, c.Channels) << c.What;
        EXPECT_EQ(clip.Bits, c.Bits) << c.What;
    }
}

TEST(ModuleClips, TheModulesTwoClipsAreReadAndPlaysAreNamedByTheirBytes)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    ASSERT_EQ(LearnModuleClipsFrom(module, LumivaneClips, 2), 2) << "the gauge's two clips";
    ASSERT_EQ(ModuleClipCount(), 2);
    EXPECT_EQ(ModuleClipAt(2), nullptr);
    EXPECT_EQ(ModuleClipAt(-1), nullptr);
    struct Expected {
        const char* Name;
        uint32_t Bytes;
    };
    const Expected expected[] = {{SingleBeepClip, 2924}, {DoubleBeepClip, 3784}};
    for (int i = 0; i < 2; ++i) {
        const ModuleClip& clip = *ModuleClipAt(i);
        EXPECT_STREQ(clip.Name, expected[i].Name) << "clip " << i;
        EXPECT_EQ(clip.Bytes, expected[i].Bytes) << clip.Name;
        EXPECT_EQ(clip.Rate, 11025u) << clip.Name;
        EXPECT_EQ(clip.Channels, 1) << clip.Name;
        EXPECT_EQ(clip.Bits, 8) << clip.Name;

        const Bytes bytes(clip.Data, clip.Data + clip.Bytes);
        Bytes changed = bytes;
        changed.back() ^= 1;
        Bytes changedFirst = bytes;
        changedFirst.front() ^= 1;
        Bytes longer = bytes;
        longer.push_back(bytes.back());
        struct Play {
            const char* What;
            size_t Split; // bytes in the first region
            const Bytes* Held;
            size_t Length;
            const char* Named;
        };
        const Play plays[] = {
            {"whole in one region", bytes.size(), &bytes, bytes.size(), clip.Name},
            {"split in two regions", 1000, &bytes, bytes.size(), clip.Name},
            {"all in the second region", 0, &bytes, bytes.size(), clip.Name},
            {"its last byte changed", bytes.size(), &changed, bytes.size(), nullptr},
            {"one byte short", bytes.size() - 1, &bytes, bytes.size() - 1, nullptr},
            {"one byte long", bytes.size(), &longer, longer.size(), nullptr},
            // Either half of a split region alone can differ.
            {"its first byte changed, split", 1000, &changedFirst, bytes.size(), nullptr},
            {"its last byte changed, split", 1000, &changed, bytes.size(), nullptr},
            {"its last byte changed, all in the second region", 0, &changed, bytes.size(), nullptr},
        };
        for (const Play& play : plays) {
            const uint8_t* data = play.Held->data();
            const uint8_t* second = play.Split < play.Length ? data + play.Split : nullptr;
            const char* named =
                IdentifyClip(data, uint32_t(play.Split), second, uint32_t(play.Length - play.Split));
            EXPECT_STREQ(named ? named : "(none)", play.Named ? play.Named : "(none)") << clip.Name << " " << play.What;
        }
    }
}

TEST(ModuleClips, AClipIsFoundByItsResourceAndKnownByItsName)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    struct Learned {
        const char* Name;
        uint32_t Bytes;
    };
    struct SourceRow {
        const char* What;
        std::vector<ModuleClipSource> Sources;
        std::vector<Learned> Clips;
    };
    const SourceRow rows[] = {
        {"each under its own resource", {{"Wave1", "WAVE1"}, {"Wave2", "WAVE2"}}, {{"Wave1", 2924}, {"Wave2", 3784}}},
        {"a name read from the other's resource", {{"Wave1", "WAVE2"}}, {{"Wave1", 3784}}},
        {"the two swapped", {{"Wave2", "WAVE1"}, {"Wave1", "WAVE2"}}, {{"Wave2", 2924}, {"Wave1", 3784}}},
        {"a name no resource has", {{"Takeoff", "wave1"}}, {{"Takeoff", 2924}}},
        {"a resource the module lacks", {{"Wave1", "WAVE3"}, {"Wave2", "WAVE2"}}, {{"Wave2", 3784}}},
        {"a resource of another type's name", {{"Wave1", "1"}}, {}},
        {"no sources", {}, {}},
        {"more sources than are kept",
         {{"A", "WAVE1"}, {"B", "WAVE2"}, {"C", "WAVE1"}, {"D", "WAVE2"}, {"E", "WAVE1"}},
         {{"A", 2924}, {"B", 3784}, {"C", 2924}, {"D", 3784}}},
    };
    for (const SourceRow& row : rows) {
        const int learned = LearnModuleClipsFrom(module, row.Sources.data(), int(row.Sources.size()));
        ASSERT_EQ(learned, int(row.Clips.size())) << row.What;
        EXPECT_EQ(ModuleClipCount(), learned) << row.What;
        for (int i = 0; i < learned; ++i) {
            EXPECT_STREQ(ModuleClipAt(i)->Name, row.Clips[i].Name) << row.What << ": clip " << i;
            EXPECT_EQ(ModuleClipAt(i)->Bytes, row.Clips[i].Bytes) << row.What << ": clip " << i;
        }
        EXPECT_EQ(ModuleClipAt(learned), nullptr) << row.What;
    }
    EXPECT_EQ(LearnModuleClipsFrom(module, LumivaneClips, 2), 2) << "the module's own clips again";
}
