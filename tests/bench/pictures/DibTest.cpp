// The bitmap reader takes a module's art only as Windows lays it out, and
// says what is wrong with anything else: one table of small bitmaps, each a
// good one bent in one field, at and just past each of the reader's bounds,
// and the good ones decoded pixel by pixel (both row orders, every channel
// of the colour table in its place).
#include "bench/pictures/Dib.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>* b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        (*b)[at + size_t(i)] = uint8_t(v >> (8 * i));
}

void Put16(std::vector<uint8_t>* b, size_t at, uint16_t v)
{
    (*b)[at] = uint8_t(v);
    (*b)[at + 1] = uint8_t(v >> 8);
}

// A 3 x 2 bitmap of 8 bits a pixel with a table of `colours` entries, entry
// i being (red i*3+1, green i*3+2, blue i*3+3); rows padded to 4 bytes,
// pixel (x, y) of colour (x + y) % 3, stored bottom-up unless `topDown`.
std::vector<uint8_t> Bitmap(uint32_t colours = 3, bool topDown = false)
{
    const uint32_t table = (colours ? colours : 256) * 4;
    std::vector<uint8_t> b(40 + table + 2 * 4, 0);
    Put32(&b, 0, 40);
    Put32(&b, 4, 3);
    Put32(&b, 8, uint32_t(topDown ? -2 : 2));
    Put16(&b, 12, 1);
    Put16(&b, 14, 8);
    Put32(&b, 32, colours);
    for (uint32_t i = 0; i < table / 4; ++i) {
        b[40 + 4 * i] = uint8_t(i * 3 + 3);
        b[40 + 4 * i + 1] = uint8_t(i * 3 + 2);
        b[40 + 4 * i + 2] = uint8_t(i * 3 + 1);
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b[40 + table + 4 * size_t(topDown ? y : 1 - y) + size_t(x)] = uint8_t((x + y) % 3);
    return b;
}

TEST(Dib, TakesWhatWindowsLaysOutAndSaysWhatIsWrongWithTheRest)
{
    const std::vector<uint8_t> good = Bitmap();
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* problem; // "" when it decodes
    } rows[] = {
        {"a good one", good, ""},
        {"top-down", Bitmap(3, true), ""},
        {"a full table when no count is given", Bitmap(0), ""},
        {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1), "needs 60 bytes, has 59"},
        {"39 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 39),
         "shorter than a bitmap info header (39 bytes)"},
        {"a header of 39", [&] { auto b = good; Put32(&b, 0, 39); return b; }(),
         "header size 39 in a resource of 60 bytes (a file header left in?)"},
        {"a header past the end", [&] { auto b = good; Put32(&b, 0, 61); return b; }(),
         "header size 61 in a resource of 60 bytes (a file header left in?)"},
        {"a header that is the whole resource", [&] { auto b = good; Put32(&b, 0, 60); return b; }(),
         "needs 80 bytes, has 60"},
        {"no width", [&] { auto b = good; Put32(&b, 4, 0); return b; }(), "size 0 x 2"},
        {"4097 across", [&] { auto b = good; Put32(&b, 4, 4097); return b; }(), "size 4097 x 2"},
        {"no height", [&] { auto b = good; Put32(&b, 8, 0); return b; }(), "size 3 x 0"},
        {"4 bits a pixel", [&] { auto b = good; Put16(&b, 14, 4); return b; }(),
         "not one plane of 8 bits a pixel, uncompressed (4 bits, compression 0)"},
        {"two planes", [&] { auto b = good; Put16(&b, 12, 2); return b; }(),
         "not one plane of 8 bits a pixel, uncompressed (8 bits, compression 0)"},
        {"run-length coded", [&] { auto b = good; Put32(&b, 16, 1); return b; }(),
         "not one plane of 8 bits a pixel, uncompressed (8 bits, compression 1)"},
        {"257 colours", [&] { auto b = good; Put32(&b, 32, 257); return b; }(), "257 colours for 8 bits a pixel"},
        {"a pixel past the table", [&] { auto b = good; b[40 + 12] = 3; return b; }(),
         "pixel 0,1 uses colour 3 of 3"},
    };
    for (const auto& row : rows) {
        Image image;
        std::string problem;
        const bool decoded = DecodeDib(row.bytes.data(), uint32_t(row.bytes.size()), &image, &problem);
        EXPECT_EQ(decoded, !*row.problem) << row.what;
        if (!decoded) {
            EXPECT_EQ(problem, row.problem) << row.what;
            EXPECT_EQ(image.Width, 0) << row.what << ": nothing decoded";
            continue;
        }
        ASSERT_EQ(image.Width, 3) << row.what;
        ASSERT_EQ(image.Height, 2) << row.what;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int c = (x + y) % 3;
                const uint8_t* p = &image.Pixels[(size_t(y) * 3 + size_t(x)) * 3];
                EXPECT_EQ(p[0], c * 3 + 1) << row.what << ": red of " << x << "," << y;
                EXPECT_EQ(p[1], c * 3 + 2) << row.what << ": green of " << x << "," << y;
                EXPECT_EQ(p[2], c * 3 + 3) << row.what << ": blue of " << x << "," << y;
            }
    }
}

} // namespace
