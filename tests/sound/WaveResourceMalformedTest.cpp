// The chunk walker over images that bend or break the RIFF rules: one case for
// each way the walk can end or pass a chunk over, and the boundaries where a
// walk that moves before it checks would read past the image or loop. The
// fuzzer in fuzz/ covers what lies between these cases.
#include "sound/WaveResource.h"

#include "WaveResourceImage.h"

#include <gtest/gtest.h>

namespace {

// The canonical clip: format at 20, data at 44.
WaveImage Canonical(DWORD samples)
{
    WaveImage image;
    image.Riff().Format().Data(samples).Close();
    return image;
}

// An image built by `build`, walked for all three outputs.
struct WalkRow {
    const char* what;
    void (*build)(WaveImage& image);
    int result;
    long formatAt, dataAt; // offsets, -1 for none
    long long length;
};

// What a row does not say.
const long long Any = -100;

} // namespace

// One image for each way the walk takes a chunk, passes it over or ends:
// the result, and where the format and the data were found and how long the
// data is.
TEST(ParseWaveChunks, EachImageIsWalkedAsItsRowSays)
{
    const WalkRow rows[] = {
        {"the canonical clip", [](WaveImage& i) { i.Riff().Format().Data(10).Close(); }, 1, 20, 44, 10},
        // LIST at 12, its 3-byte body at 20 and the pad at 23; fmt at 24.
        {"an odd-length chunk is followed by one pad byte",
            [](WaveImage& i) { i.Riff().Chunk("LIST", 3).Format().Data(5).Close(); }, 1, 32, 32 + 16 + 8, 5},
        // Without the pad the next tag starts one byte early, and the walk
        // looks for it one byte later: it never sees a "fmt " chunk.
        {"an odd-length chunk without its pad byte hides the next chunk",
            [](WaveImage& i) { i.Riff().Chunk("LIST", 3, 3, false).Format().Data(4).Close(); }, 0, -1, Any, Any},
        // A size past 16 MB has its top byte set: rare in a resource, but
        // read whole, as every other; each byte differs, so each lands in
        // its place.
        {"chunk sizes take all four bytes", [](WaveImage& i) { i.Riff().Format().Data(0x01020304).Close(); }, 1, Any,
            44, 0x01020304},
        {"odd-length data takes its true length, not its pad byte",
            [](WaveImage& i) { i.Riff().Format().Data(7).Close(); }, 1, Any, Any, 7},
        {"a second format chunk is passed over, the first taken",
            [](WaveImage& i) { i.Riff().Format(16).Format(18).Data(4).Close(); }, 1, 20, 12 + 24 + 26 + 8, Any},
        // Data first, so the walk must go on to the format and pass the
        // second data chunk on its way.
        {"a second data chunk is passed over", [](WaveImage& i) { i.Riff().Data(4).Data(6).Format().Close(); }, 1,
            12 + 12 + 14 + 8, 20, 4},
        {"data before the format", [](WaveImage& i) { i.Riff().Data(4).Format().Close(); }, 1, 32, 20, Any},
        {"zero-length data is passed over for a later real one",
            [](WaveImage& i) { i.Riff().Format().Data(0).Data(6).Close(); }, 1, Any, 44 + 8, 6},
        {"no data chunk", [](WaveImage& i) { i.Riff().Format().Chunk("LIST", 10).Close(); }, 0, 20, -1, 0},
        {"no format chunk", [](WaveImage& i) { i.Riff().Data(8).Close(); }, 0, -1, 20, 8},
        // The data after a short format chunk is not reached.
        {"a format under 14 bytes ends the walk", [](WaveImage& i) { i.Riff().Format(13).Data(4).Close(); }, 0, -1,
            -1, 0},
        // The later good format chunk is not reached.
        {"a format under 14 bytes keeps what was found before",
            [](WaveImage& i) { i.Riff().Data(4).Format(0).Format(16).Close(); }, 0, -1, 20, 4},
        {"a format of 14 bytes is enough", [](WaveImage& i) { i.Riff().Format(14).Data(4).Close(); }, 1, 20,
            20 + 14 + 8, Any},
        {"RIFX: the outputs cleared", [](WaveImage& i) { i.Riff("RIFX", "WAVE").Format().Data(4).Close(); }, 0, -1,
            -1, 0},
        {"riff: the outputs cleared", [](WaveImage& i) { i.Riff("riff", "WAVE").Format().Data(4).Close(); }, 0, -1,
            -1, 0},
        {"a form of wave: the outputs cleared",
            [](WaveImage& i) { i.Riff("RIFF", "wave").Format().Data(4).Close(); }, 0, -1, -1, 0},
        {"a form of AVI: the outputs cleared", [](WaveImage& i) { i.Riff("RIFF", "AVI ").Format().Data(4).Close(); },
            0, -1, -1, 0},
        {"chunk tags are exact bytes", [](WaveImage& i) { i.Riff().Chunk("FMT ", 16).Chunk("Data", 4).Close(); }, 0,
            -1, -1, Any},
        {"a chunk passed over past the image ends the walk",
            [](WaveImage& i) { i.Riff().Chunk("LIST", 1000, 10).Format().Data(4).Close(); }, 0, -1, Any, Any},
    };
    for (const WalkRow& row : rows) {
        WaveImage image;
        row.build(image);
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, row.result) << row.what;
        if (row.formatAt != Any)
            EXPECT_EQ(walk.FormatAt, row.formatAt) << row.what << ": the format";
        if (row.dataAt != Any)
            EXPECT_EQ(walk.DataAt, row.dataAt) << row.what << ": the data";
        if (row.length != Any)
            EXPECT_EQ(walk.Length, DWORD(row.length)) << row.what << ": the length";
    }
}

TEST(ParseWaveChunks, OnlyZeroLengthDataLeavesDataNullAndLength0)
{
    WaveImage image;
    image.Riff().Format().Data(0).Close();
    for (int wanted = 0; wanted < 2; ++wanted) {
        const Walk walk = image.Parse(true, true, wanted == 0);
        EXPECT_EQ(walk.Result, 0) << (wanted == 0 ? "with" : "without") << " a length output";
        EXPECT_EQ(walk.FormatAt, 20);
        EXPECT_EQ(walk.DataAt, -1);
        EXPECT_EQ(walk.Length, 0u);
    }
}

TEST(ParseWaveChunks, ShortFormatIsPassedOverWhenNoFormatIsWanted)
{
    WaveImage image;
    image.Riff().Format(2).Data(4).Close();
    const Walk walk = image.Parse(false, true, true);
    EXPECT_EQ(walk.Result, 1);
    EXPECT_EQ(walk.DataAt, 20 + 2 + 8);
    EXPECT_EQ(walk.Length, 4u);
}

TEST(ParseWaveChunks, EachOutputAloneReturnsAtItsChunk)
{
    // A cut-off header after the data chunk would make any further step fail.
    WaveImage image;
    image.Riff().Format().Data(4);
    image.PutTag("junk");
    image.SetRiffSize(1000);

    Walk walk = image.Parse(true, false, false);
    EXPECT_EQ(walk.Result, 1);
    EXPECT_EQ(walk.FormatAt, 20);
    walk = image.Parse(false, true, false);
    EXPECT_EQ(walk.Result, 1);
    EXPECT_EQ(walk.DataAt, 44);
    walk = image.Parse(false, false, true);
    EXPECT_EQ(walk.Result, 1);
    EXPECT_EQ(walk.Length, 4u);
    walk = image.Parse(false, false, false);
    EXPECT_EQ(walk.Result, 0) << "no output wanted";
}

TEST(ParseWaveChunks, RiffSizeOf4OrLessLeavesNoRoomForAChunk)
{
    for (DWORD size : {0u, 1u, 3u, 4u}) {
        WaveImage image = Canonical(4);
        image.SetRiffSize(size);
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, 0) << "RIFF size " << size;
        EXPECT_EQ(walk.FormatAt, -1) << "RIFF size " << size;
        EXPECT_EQ(walk.DataAt, -1) << "RIFF size " << size;
        EXPECT_EQ(walk.Length, 0u) << "RIFF size " << size;
    }
}

TEST(ParseWaveChunks, RiffSizeEndsTheWalkBeforeTheImageDoes)
{
    // A chunk is part of the wave when it begins before the RIFF chunk's
    // end, 8 bytes past its size field: a format chunk begun one byte before
    // that end is read, and data behind the end is not.
    const struct {
        DWORD riffSize;
        int result, formatAt, dataAt;
    } rows[] = {
        {5, 0, 20, -1},          // ends one byte into the format chunk
        {4 + 24, 0, 20, -1},     // ends right after the format chunk
        {4 + 24 + 1, 1, 20, 44}, // ends one byte into the data chunk
    };
    for (const auto& row : rows) {
        WaveImage image = Canonical(4);
        image.SetRiffSize(row.riffSize);
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, row.result) << "RIFF size " << row.riffSize;
        EXPECT_EQ(walk.FormatAt, row.formatAt) << "RIFF size " << row.riffSize;
        EXPECT_EQ(walk.DataAt, row.dataAt) << "RIFF size " << row.riffSize;
    }
}

TEST(ParseWaveChunks, ImagesTooShortForTheRiffHeader)
{
    const WaveImage image = Canonical(4);
    for (DWORD bytes : {0u, 1u, 8u, 11u}) {
        const Walk walk = image.ParseFirst(bytes);
        EXPECT_EQ(walk.Result, 0) << bytes << " bytes";
        EXPECT_EQ(walk.FormatAt, -1) << bytes << " bytes";
        EXPECT_EQ(walk.Length, 0u) << bytes << " bytes";
    }
    WAVEFORMATEX* format = reinterpret_cast<WAVEFORMATEX*>(0x10);
    EXPECT_EQ(ParseWaveChunks(nullptr, 100, &format, nullptr, nullptr), 0);
    EXPECT_EQ(format, nullptr) << "a null image still clears the outputs";
}

TEST(ParseWaveChunks, TruncatedChunkHeaderEndsTheWalk)
{
    // The RIFF size promises a data chunk; the image ends inside its header.
    const WaveImage image = Canonical(4);
    for (DWORD bytes : {36u, 37u, 40u, 43u}) {
        const Walk walk = image.ParseFirst(bytes);
        EXPECT_EQ(walk.Result, 0) << bytes << " bytes";
        EXPECT_EQ(walk.FormatAt, 20) << bytes << " bytes";
        EXPECT_EQ(walk.DataAt, -1) << bytes << " bytes";
        EXPECT_EQ(walk.Length, 0u) << bytes << " bytes";
    }
}

TEST(ParseWaveChunks, ChunkBodyPastTheImageEndsTheWalk)
{
    const WaveImage image = Canonical(4);
    // 48 bytes hold the whole data body; 47 cut its last byte.
    Walk walk = image.ParseFirst(48);
    EXPECT_EQ(walk.Result, 1);
    EXPECT_EQ(walk.Length, 4u);
    for (DWORD bytes : {44u, 45u, 47u}) {
        walk = image.ParseFirst(bytes);
        EXPECT_EQ(walk.Result, 0) << bytes << " bytes";
        EXPECT_EQ(walk.DataAt, -1) << bytes << " bytes";
        EXPECT_EQ(walk.Length, 0u) << bytes << " bytes";
    }
    // A format body cut short by the image is not taken either.
    walk = image.ParseFirst(35);
    EXPECT_EQ(walk.Result, 0);
    EXPECT_EQ(walk.FormatAt, -1);
}

TEST(ParseWaveChunks, HugeSizesThatWouldWrapA32BitSum)
{
    // Chunk lengths near 2^32: position + 8 + length, or the length rounded
    // up to even, would wrap to a small number and send the walk backwards or
    // round in circles.
    for (DWORD length : {0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFF8u, 0xFFFFFFF4u, 0xFFFFFFE0u, 0x80000000u}) {
        WaveImage image;
        image.Riff().Chunk("LIST", length, 4).Format().Data(4);
        image.SetRiffSize(0xFFFFFFFFu);
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, 0) << "chunk length " << length;
        EXPECT_EQ(walk.FormatAt, -1) << "chunk length " << length;
        EXPECT_EQ(walk.DataAt, -1) << "chunk length " << length;
    }
    for (DWORD riffSize : {0xFFFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFF7u, 0xFFFFFFF4u}) {
        WaveImage image = Canonical(4);
        image.SetRiffSize(riffSize);
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, 1) << "RIFF size " << riffSize << " is bounded by the image";
        EXPECT_EQ(walk.DataAt, 44) << "RIFF size " << riffSize;
    }
}

TEST(ParseWaveChunks, OddFinalChunkWithoutItsPadByte)
{
    // The RIFF size counts the pad byte the image lacks: the walk must stop
    // at the image's end, not one byte past it; nor, when the RIFF size
    // promises still more, look for a chunk header out there.
    for (DWORD beyond : {1u, 2u, 100u}) {
        WaveImage image;
        image.Riff().Format().Chunk("LIST", 3, 3, false);
        image.SetRiffSize(DWORD(image.Bytes.size() - 8 + beyond));
        const Walk walk = image.Parse();
        EXPECT_EQ(walk.Result, 0) << "RIFF size " << beyond << " past the image";
        EXPECT_EQ(walk.FormatAt, 20) << "RIFF size " << beyond << " past the image";
        EXPECT_EQ(walk.DataAt, -1) << "RIFF size " << beyond << " past the image";
    }
}
