// The walk over a .res image, as the native stand-ins and the bench use it.
// Each image lives in a heap block of exactly its size, so AddressSanitizer
// stops any read past its end; a truncated or garbled image must find
// nothing and say which, and every prefix of a good image must either find a
// resource wholly inside the prefix or nothing.
#include "platform/native/ResourceImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void PutU16(Bytes& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void PutU32(Bytes& out, uint32_t value)
{
    PutU16(out, uint16_t(value));
    PutU16(out, uint16_t(value >> 16));
}

void SetU32(Bytes& image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + i] = uint8_t(value >> (8 * i));
}

// One record as a resource compiler writes it: ordinal type, ordinal or
// string name, then the data padded to a DWORD.
void PutRecord(Bytes& out, uint16_t type, uint16_t id, const char* name, const Bytes& data)
{
    Bytes fields;
    PutU16(fields, 0xFFFF);
    PutU16(fields, type);
    if (name) {
        for (const char* c = name; *c; ++c)
            PutU16(fields, uint8_t(*c));
        PutU16(fields, 0);
    } else {
        PutU16(fields, 0xFFFF);
        PutU16(fields, id);
    }
    while ((8 + fields.size()) % 4)
        fields.push_back(0);
    PutU32(out, uint32_t(data.size()));
    PutU32(out, uint32_t(8 + fields.size() + 16));
    out.insert(out.end(), fields.begin(), fields.end());
    PutU32(out, 0);      // DataVersion
    PutU16(out, 0x1030); // MemoryFlags
    PutU16(out, 1033);   // LanguageId
    PutU32(out, 0);      // Version
    PutU32(out, 0);      // Characteristics
    out.insert(out.end(), data.begin(), data.end());
    while (out.size() % 4)
        out.push_back(0);
}

// The marker record, bitmap 4096 (10 bytes, so padded) at 32, and "WAVE1"
// (5 bytes) at 76, whose padding the image leaves out.
const size_t BitmapAt = 32, WaveAt = 76;
Bytes GoodImage()
{
    Bytes image;
    PutRecord(image, 0, 0, nullptr, {});
    PutRecord(image, 2, 4096, nullptr, Bytes(10, 0xB1));
    PutRecord(image, 10, 0, "WAVE1", Bytes(5, 0xA5));
    image.resize(image.size() - 3);
    return image;
}

// Walks a copy of `image` in a block of exactly its size.
ResourceWalkEnd Walk(const Bytes& image, uint16_t type, uint16_t id, const char* name, ResourceRecord* record,
    bool* inside)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[image.size() ? image.size() : 1]);
    std::copy(image.begin(), image.end(), block.get());
    const ResourceWalkEnd end = FindResourceInImage(block.get(), image.size(), type, id, name, record);
    *inside = !record->Data ||
              (record->Data >= block.get() && record->Size <= size_t(block.get() + image.size() - record->Data));
    if (record->Data)
        record->Data = image.data() + (record->Data - block.get());
    return end;
}

} // namespace

TEST(ResourceImage, FindsByIdAndByNameInAnyCaseWithinItsType)
{
    const Bytes image = GoodImage();
    ASSERT_EQ(image.size(), WaveAt + 40 + 5);
    const struct {
        uint16_t Type, Id;
        const char* Name;
        ResourceWalkEnd End;
        size_t At;
        uint32_t Size;
    } cases[] = {
        {2, 4096, nullptr, ResourceFound, BitmapAt, 10},
        {10, 0, "WAVE1", ResourceFound, WaveAt, 5},
        {10, 0, "wave1", ResourceFound, WaveAt, 5},
        {10, 0, "WAVE", ResourceWalkComplete, 0, 0},
        {10, 0, "WAVE11", ResourceWalkComplete, 0, 0},
        {10, 4096, nullptr, ResourceWalkComplete, 0, 0},
        {2, 0, "WAVE1", ResourceWalkComplete, 0, 0},
        {0, 0, nullptr, ResourceWalkComplete, 0, 0}, // the marker is no resource
    };
    for (const auto& c : cases) {
        ResourceRecord record;
        bool inside = false;
        const std::string what = "type " + std::to_string(c.Type) + " " + (c.Name ? c.Name : std::to_string(c.Id));
        EXPECT_EQ(Walk(image, c.Type, c.Id, c.Name, &record, &inside), c.End) << what;
        EXPECT_EQ(record.At, c.At) << what;
        EXPECT_EQ(record.Size, c.Size) << what;
        if (c.End == ResourceFound)
            EXPECT_EQ(record.Data, image.data() + c.At + (c.Name ? 40 : 32)) << what;
    }
}

TEST(ResourceImage, SizesPast64KAndNamesPastAsciiAreReadAsWritten)
{
    Bytes image;
    PutRecord(image, 0, 0, nullptr, {});
    PutRecord(image, 2, 7, nullptr, Bytes(0x10004, 0xB2));
    PutRecord(image, 10, 0, "\x7F", Bytes(4, 0xA1));
    PutRecord(image, 10, 0, "\x80", Bytes(4, 0xA2));
    const struct {
        uint16_t Type, Id;
        const char* Name;
        ResourceWalkEnd End;
        uint32_t Size;
    } cases[] = {
        {2, 7, nullptr, ResourceFound, 0x10004},
        {10, 0, "\x7F", ResourceFound, 4},
        // Names are compared as ASCII only: a unit from 0x80 on matches nothing.
        {10, 0, "\x80", ResourceWalkComplete, 0},
    };
    for (const auto& c : cases) {
        ResourceRecord record;
        bool inside = false;
        EXPECT_EQ(Walk(image, c.Type, c.Id, c.Name, &record, &inside), c.End) << c.Type << " " << c.Id;
        EXPECT_EQ(record.Size, c.Size) << c.Type << " " << c.Id;
        EXPECT_TRUE(inside);
    }
}

TEST(ResourceImage, EveryPrefixFindsTheResourceWhollyInsideOrNothing)
{
    const Bytes image = GoodImage();
    for (size_t length = 0; length <= image.size(); ++length) {
        const Bytes prefix(image.begin(), image.begin() + length);
        for (const char* name : {static_cast<const char*>(nullptr), "WAVE1"}) {
            ResourceRecord record;
            bool inside = false;
            const ResourceWalkEnd end = Walk(prefix, name ? 10 : 2, 4096, name, &record, &inside);
            const size_t needs = name ? image.size() : BitmapAt + 32 + 10;
            EXPECT_TRUE(inside) << "prefix of " << length;
            // A cut on a record boundary is a clean end, and so is one in the
            // padding after a record's data; anywhere else it is a truncation.
            const bool boundary = length == 0 || length == BitmapAt || (length >= BitmapAt + 42 && length <= WaveAt);
            const ResourceWalkEnd expected =
                length >= needs ? ResourceFound : boundary ? ResourceWalkComplete : ResourceWalkTruncated;
            EXPECT_EQ(end, expected) << "prefix of " << length << " bytes, looking for " << (name ? name : "4096");
        }
    }
}

TEST(ResourceImage, GarbledHeadersFindNothing)
{
    const struct {
        const char* What;
        std::function<void(Bytes&)> Garble;
        ResourceWalkEnd End;
    } cases[] = {
        {"header size below the smallest header", [](Bytes& b) { SetU32(b, BitmapAt + 4, 24); }, ResourceWalkGarbled},
        {"header size not a multiple of 4", [](Bytes& b) { SetU32(b, BitmapAt + 4, 34); }, ResourceWalkGarbled},
        {"header size a DWORD more than its fields", [](Bytes& b) { SetU32(b, BitmapAt + 4, 36); },
            ResourceWalkGarbled},
        {"header size past the end", [](Bytes& b) { SetU32(b, BitmapAt + 4, 0xFFFFFFF0); }, ResourceWalkTruncated},
        {"data size past the end", [](Bytes& b) { SetU32(b, WaveAt, 6); }, ResourceWalkTruncated},
        {"data size that would wrap", [](Bytes& b) { SetU32(b, BitmapAt, 0xFFFFFFFF); }, ResourceWalkTruncated},
        {"name with no terminating zero",
            [](Bytes& b) {
                for (size_t at = WaveAt + 12; at < WaveAt + 24; ++at)
                    b[at] = 'X';
            },
            ResourceWalkGarbled},
        {"record of zeros, as padding after the image", [](Bytes& b) { b.insert(b.begin() + 32, 32, 0); },
            ResourceWalkGarbled},
        {"a single byte", [](Bytes& b) { b.assign(1, 0); }, ResourceWalkTruncated},
    };
    for (const auto& c : cases) {
        Bytes image = GoodImage();
        c.Garble(image);
        ResourceRecord record;
        bool inside = false;
        EXPECT_EQ(Walk(image, 10, 0, "WAVE1", &record, &inside), c.End) << c.What;
        EXPECT_EQ(record.Data, nullptr) << c.What;
        EXPECT_TRUE(inside) << c.What;
    }
}

TEST(ResourceImage, ARecordIsReadAgainOnlyWhereOneStarts)
{
    const Bytes image = GoodImage();
    ResourceRecord record;
    EXPECT_TRUE(ReadResourceRecord(image.data(), image.size(), WaveAt, &record));
    EXPECT_EQ(record.Size, 5u);
    EXPECT_FALSE(ReadResourceRecord(image.data(), image.size(), WaveAt + 4, &record)) << "inside a header";
    EXPECT_FALSE(ReadResourceRecord(image.data(), image.size(), image.size(), &record)) << "at the end";
    EXPECT_FALSE(ReadResourceRecord(nullptr, 0, 0, &record)) << "no image";
    EXPECT_EQ(record.Data, nullptr);
}
