// The committed art is exactly what the generator writes, and what the
// native build embeds is exactly the committed art. A hand edit to a bitmap
// or a clip, or a change to the generator without writing the files anew,
// fails here; run lumivane_make_art into resources/ and commit.
#include "tools/Artwork.h"

#include "ResourceImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Embedded {
    const char* File;
    int Id;             // for bitmaps
    const char* Name;   // for clips
};

const Embedded Resources[] = {
    {"Background.bmp", 4096, nullptr},
    {"Lamp1.bmp", 8192, nullptr},
    {"Lamp2.bmp", 8195, nullptr},
    {"Lamp3.bmp", 8198, nullptr},
    {"Speed1Mark.bmp", 12288, nullptr},
    {"Speed2Mark.bmp", 12291, nullptr},
    {"Speed3Mark.bmp", 12294, nullptr},
    {"Wave1.wav", 0, "WAVE1"},
    {"Wave2.wav", 0, "WAVE2"},
};

} // namespace

TEST(Artwork, CommittedFilesAreWhatTheGeneratorWrites)
{
    const std::vector<ArtFile> art = MakeArtwork();
    ASSERT_EQ(art.size(), 9u);
    for (const ArtFile& file : art) {
        const std::vector<uint8_t> committed = ReadFile(std::string(LUMIVANE_RESOURCE_DIR) + "/" + file.Name);
        ASSERT_EQ(committed.size(), file.Bytes.size()) << "size of resources/" << file.Name;
        for (size_t i = 0; i < committed.size(); ++i)
            ASSERT_EQ(int(committed[i]), int(file.Bytes[i])) << "resources/" << file.Name << " byte " << i;
    }
}

TEST(Artwork, NativeBuildEmbedsTheCommittedFiles)
{
    for (const Embedded& resource : Resources) {
        const std::vector<uint8_t> committed = ReadFile(std::string(LUMIVANE_RESOURCE_DIR) + "/" + resource.File);
        ASSERT_FALSE(committed.empty()) << resource.File;
        const bool bitmap = resource.Name == nullptr;
        const ResourceImage image = bitmap ? ResourceImage::Find(MAKEINTRESOURCEA(resource.Id), RT_BITMAP)
                                           : ResourceImage::Find(resource.Name, RT_RCDATA);
        ASSERT_NE(image.Bytes, nullptr) << resource.File << " is not embedded";
        // A bitmap resource is the file less its 14-byte file header.
        const size_t skip = bitmap ? 14 : 0;
        const std::vector<uint8_t> expected(committed.begin() + long(skip), committed.end());
        EXPECT_EQ(std::vector<uint8_t>(image.Bytes, image.Bytes + image.Size), expected) << resource.File;
    }
}
